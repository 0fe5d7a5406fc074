#pragma once

#include "history_view.h"

#include <QColor>
#include <QString>
#include <QVector>
#include <QWidget>

// A plot of values over time, painted with QPainter: coloured bands behind,
// one line per series, and marks on the time axis. One column of each series
// per pixel of the plot's width (see columns()); the caller cuts its data to
// that (history_view) and hands it over whole.
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

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
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
