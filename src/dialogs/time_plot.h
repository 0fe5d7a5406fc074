#pragma once

#include "history_view.h"

#include <QAbstractSlider>
#include <QColor>
#include <QScrollBar>
#include <QString>
#include <QVector>
#include <QWidget>

// What a key does to a view along a time axis: Left, Up and Page Up go back
// in time, Right, Down and Page Down on, by a step or a page; Home goes to the
// oldest, End to the newest. SliderNoAction for any other key.
QAbstractSlider::SliderAction time_key_action(int key);

// A plot of values over time, painted with QPainter: coloured bands behind
// (named in a column at the right, beside the plotted area), one line per
// series, and marks on the time axis. One column of each series per pixel of
// the plot's width (see columns()); the caller cuts its data to that
// (history_view) and hands it over whole. It takes the focus (Tab or a click)
// and shows it; its keys move the view along the time axis through
// move_requested().
class TimePlot : public QWidget
{
    Q_OBJECT

public:
    struct Line
    {
        QString name;
        QColor colour;
        QVector<PlotColumn> columns;
    };
    struct Band
    {
        double low;
        double high;
        QColor colour;
        QString label;
    };
    struct Mark
    {
        qint64 from_ms;
        qint64 to_ms;
        QColor colour;
    };
    struct Legend
    {
        QString name;
        QColor colour;
    };

    explicit TimePlot(QWidget *parent = nullptr);

    void set_value_range(double low, double high);
    void set_bands(const QVector<Band> &bands);
    void set_mark_legend(const QVector<Legend> &legend);
    // The stretch of time shown, its lines and its marks; repaints.
    void show_stretch(qint64 from_ms, qint64 to_ms, const QVector<Line> &lines, const QVector<Mark> &marks);

    // How many columns the plot draws: one per pixel of its width.
    int columns() const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

signals:
    // The plot's width changed: its data must be cut anew.
    void columns_changed();
    // A key asked to move the view along the time axis (see time_key_action).
    void move_requested(QAbstractSlider::SliderAction action);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct LegendEntry
    {
        QString name;
        QColor colour;
        bool swatch;  // a square (a kind of mark), or a stroke (a line)
        QPoint at;    // of its symbol's left end, on its row's baseline
    };
    // The legend laid out in rows that fit the width; how many rows it takes.
    QVector<LegendEntry> legend(int *rows) const;
    int band_label_width() const;
    // Where the lines are drawn: the legend above it, the value labels at
    // the left, the band names at the right.
    QRect plot_area() const;
    double y_of(double value, const QRect &area) const;
    double x_of(qint64 time_ms, const QRect &area) const;

    double m_low = 0;
    double m_high = 1;
    qint64 m_from = 0;
    qint64 m_to = 1;
    QVector<Band> m_bands;
    QVector<Line> m_lines;
    QVector<Mark> m_marks;
    QVector<Legend> m_mark_legend;
};

// The horizontal scroll bar under a time plot: its keys move it as the
// plot's do (time_key_action) and it shows when it has the focus.
class TimeScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit TimeScrollBar(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
