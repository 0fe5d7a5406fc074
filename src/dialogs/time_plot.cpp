#include "time_plot.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int MARK_STRIP = 7;  // height of the dropout strip under the plot
constexpr int LEGEND_GAP = 14;  // between two entries of the legend
constexpr int LABEL_GAP = 6;   // between the plotted area and the band names

// Steps of the time axis, the smallest that leaves room between labels.
const qint64 TIME_STEPS_MS[] = {1000, 2000, 5000, 10000, 15000, 30000, 60000, 120000, 300000, 600000,
                                900000, 1800000, 3600000, 7200000, 10800000, 21600000, 43200000, 86400000};

double value_step(double range, double pixels, double min_gap)
{
    const double wanted = range * min_gap / std::max(pixels, 1.0);
    double step = std::pow(10.0, std::floor(std::log10(std::max(wanted, 1e-9))));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (step * factor >= wanted)
            return step * factor;
    }
    return step * 10;
}

int left_margin(const QFontMetrics &metrics)
{
    return metrics.horizontalAdvance(QStringLiteral("-0000")) + 10;
}

// A frame in the highlight colour round a widget that has the focus.
void draw_focus(QPainter &painter, const QWidget *widget)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(widget->palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(widget->rect()).adjusted(1, 1, -1, -1));
}

} // namespace

QAbstractSlider::SliderAction time_key_action(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_PageUp:
        return QAbstractSlider::SliderPageStepSub;
    case Qt::Key_PageDown:
        return QAbstractSlider::SliderPageStepAdd;
    case Qt::Key_Home:
        return QAbstractSlider::SliderToMinimum;
    case Qt::Key_End:
        return QAbstractSlider::SliderToMaximum;
    default:
        return QAbstractSlider::SliderNoAction;
    }
}

TimePlot::TimePlot(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFocusPolicy(Qt::StrongFocus);
}

void TimePlot::set_value_range(double low, double high)
{
    m_low = low;
    m_high = high > low ? high : low + 1;
}

void TimePlot::set_bands(const QVector<Band> &bands)
{
    m_bands = bands;
}

void TimePlot::set_mark_legend(const QVector<Legend> &legend)
{
    m_mark_legend = legend;
}

void TimePlot::show_stretch(qint64 from_ms, qint64 to_ms, const QVector<Line> &lines, const QVector<Mark> &marks)
{
    m_from = from_ms;
    m_to = std::max(to_ms, from_ms + 1);
    m_lines = lines;
    m_marks = marks;
    update();
}

int TimePlot::columns() const
{
    return std::max(plot_area().width(), 1);
}

// Room for a legend of two rows, the time axis and 60 pixels of plot.
QSize TimePlot::minimumSizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return QSize(240, 2 * (metrics.height() + 2) + 6 + MARK_STRIP + metrics.height() + 8 + 60);
}

QSize TimePlot::sizeHint() const
{
    return QSize(640, 260);
}

QVector<TimePlot::LegendEntry> TimePlot::legend(int *rows) const
{
    const QFontMetrics metrics = fontMetrics();
    const int left = left_margin(metrics);
    const int right = width() - 10;
    QVector<LegendEntry> entries;
    for (const Line &line : m_lines)
        entries.append({line.name, line.colour, false, QPoint()});
    for (const Legend &entry : m_mark_legend)
        entries.append({entry.name, entry.colour, true, QPoint()});
    int x = left;
    int row = 0;
    for (LegendEntry &entry : entries) {
        const int w = (entry.swatch ? 13 : 18) + metrics.horizontalAdvance(entry.name);
        if (x > left && x + w > right) {
            ++row;
            x = left;
        }
        entry.at = QPoint(x, 4 + metrics.ascent() + row * (metrics.height() + 2));
        x += w + LEGEND_GAP;
    }
    *rows = row + 1;
    return entries;
}

int TimePlot::band_label_width() const
{
    const QFontMetrics metrics = fontMetrics();
    int widest = 0;
    for (const Band &band : m_bands)
        widest = std::max(widest, metrics.horizontalAdvance(band.label));
    return widest;
}

QRect TimePlot::plot_area() const
{
    const QFontMetrics metrics = fontMetrics();
    int rows = 1;
    legend(&rows);
    const int left = left_margin(metrics);
    const int top = rows * (metrics.height() + 2) + 6;
    const int bottom = MARK_STRIP + metrics.height() + 8;
    const int labels = band_label_width();
    const int right = labels > 0 ? labels + 2 * LABEL_GAP : 10;
    return QRect(left, top, std::max(width() - left - right, 1), std::max(height() - top - bottom, 1));
}

double TimePlot::y_of(double value, const QRect &area) const
{
    const double clamped = std::min(std::max(value, m_low), m_high);
    return area.bottom() + 1 - (clamped - m_low) * area.height() / (m_high - m_low);
}

double TimePlot::x_of(qint64 time_ms, const QRect &area) const
{
    return area.left() + double(time_ms - m_from) * area.width() / double(m_to - m_from);
}

void TimePlot::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    emit columns_changed();
}

void TimePlot::keyPressEvent(QKeyEvent *event)
{
    const QAbstractSlider::SliderAction action = time_key_action(event->key());
    if (action == QAbstractSlider::SliderNoAction) {
        QWidget::keyPressEvent(event);
        return;
    }
    emit move_requested(action);
}

void TimePlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = plot_area();
    const QFontMetrics metrics = fontMetrics();
    const QColor text = palette().color(QPalette::WindowText);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.fillRect(area, palette().color(QPalette::Base));

    // Bands behind everything, their names in the column at the right,
    // where no line goes.
    for (const Band &band : m_bands) {
        const double top = y_of(band.high, area);
        const double bottom = y_of(band.low, area);
        if (bottom - top < 1)
            continue;
        QColor fill = band.colour;
        fill.setAlpha(40);
        painter.fillRect(QRectF(area.left(), top, area.width(), bottom - top), fill);
        if (!band.label.isEmpty() && bottom - top >= metrics.height()) {
            painter.setPen(band.colour.darker(120));
            painter.drawText(QRectF(area.right() + 1 + LABEL_GAP, top, width() - area.right(), bottom - top),
                             Qt::AlignLeft | Qt::AlignVCenter, band.label);
        }
    }

    // Dropouts: shaded over the plot, solid on the strip under it.
    const QRect strip(area.left(), area.bottom() + 3, area.width(), MARK_STRIP);
    for (const Mark &mark : m_marks) {
        const double x0 = std::max(x_of(mark.from_ms, area), double(area.left()));
        const double x1 = std::min(std::max(x_of(mark.to_ms, area), x0 + 2), double(area.right() + 1));
        QColor shade = mark.colour;
        shade.setAlpha(35);
        painter.fillRect(QRectF(x0, area.top(), x1 - x0, area.height()), shade);
        painter.fillRect(QRectF(x0, strip.top(), x1 - x0, strip.height()), mark.colour);
    }

    // Value grid and labels.
    QColor grid = text;
    grid.setAlpha(40);
    const double step = value_step(m_high - m_low, area.height(), metrics.height() * 1.6);
    for (double v = std::ceil(m_low / step) * step; v <= m_high + 1e-9; v += step) {
        const double y = y_of(v, area);
        painter.setPen(grid);
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(text);
        painter.drawText(QRectF(0, y - metrics.height() / 2.0, area.left() - 5, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }

    // Time grid: steps on whole minutes, hours, ... of local time.
    const qint64 span = m_to - m_from;
    const double min_gap_px = metrics.horizontalAdvance(QStringLiteral("00:00:00")) * 1.6;
    qint64 time_step = TIME_STEPS_MS[sizeof(TIME_STEPS_MS) / sizeof(TIME_STEPS_MS[0]) - 1];
    for (const qint64 s : TIME_STEPS_MS) {
        if (double(s) * area.width() / double(span) >= min_gap_px) {
            time_step = s;
            break;
        }
    }
    const qint64 offset_ms = qint64(QDateTime::fromMSecsSinceEpoch(m_from).offsetFromUtc()) * 1000;
    const QString format = time_step >= 60000 ? QStringLiteral("HH:mm") : QStringLiteral("HH:mm:ss");
    qint64 tick = ((m_from + offset_ms) / time_step + 1) * time_step - offset_ms;
    for (; tick <= m_to; tick += time_step) {
        const double x = x_of(tick, area);
        painter.setPen(grid);
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        const QString label = QDateTime::fromMSecsSinceEpoch(tick).toString(format);
        const double w = metrics.horizontalAdvance(label);
        const double left = std::min(std::max(x - w / 2, double(area.left())), double(area.right()) - w);
        painter.setPen(text);
        painter.drawText(QPointF(left, strip.bottom() + 2 + metrics.ascent()), label);
    }

    // The lines: a stroke through each column's values, joined to the column
    // before where the values follow on.
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(area);
    QVector<QLineF> segments;
    for (const Line &line : m_lines) {
        segments.clear();
        bool have_previous = false;
        QPointF previous;
        for (int c = 0; c < line.columns.size(); ++c) {
            const PlotColumn &column = line.columns.at(c);
            if (!column.valid)
                continue;
            const double x = area.left() + c + 0.5;
            if (column.joined && have_previous)
                segments.append(QLineF(previous, QPointF(x, y_of(column.first, area))));
            if (column.high > column.low)
                segments.append(QLineF(QPointF(x, y_of(column.low, area)), QPointF(x, y_of(column.high, area))));
            else if (!column.joined || !have_previous)
                segments.append(QLineF(QPointF(x - 0.5, y_of(column.first, area)),
                                       QPointF(x + 0.5, y_of(column.first, area))));
            previous = QPointF(x, y_of(column.last, area));
            have_previous = true;
        }
        painter.setPen(QPen(line.colour, 1.5));
        painter.drawLines(segments);
    }
    painter.setClipping(false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(grid.darker());
    painter.drawRect(area.adjusted(0, 0, -1, -1));

    // Legend above the plot, in as many rows as it needs: the lines, then
    // the kinds of marks.
    int rows = 1;
    painter.setPen(text);
    for (const LegendEntry &entry : legend(&rows)) {
        const double x = entry.at.x();
        const double baseline = entry.at.y();
        if (entry.swatch)
            painter.fillRect(QRectF(x, baseline - metrics.ascent() / 2.0 - 4, 9, 9), entry.colour);
        else
            painter.fillRect(QRectF(x, baseline - metrics.ascent() / 2.0 - 1, 14, 3), entry.colour);
        painter.drawText(QPointF(x + (entry.swatch ? 13 : 18), baseline), entry.name);
    }

    if (hasFocus())
        draw_focus(painter, this);
}

TimeScrollBar::TimeScrollBar(QWidget *parent)
    : QScrollBar(Qt::Horizontal, parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

// QScrollBar's own keys move a horizontal bar the other way on Left and
// Right.
void TimeScrollBar::keyPressEvent(QKeyEvent *event)
{
    const QAbstractSlider::SliderAction action = time_key_action(event->key());
    if (action == QAbstractSlider::SliderNoAction) {
        QScrollBar::keyPressEvent(event);
        return;
    }
    triggerAction(action);
}

void TimeScrollBar::paintEvent(QPaintEvent *event)
{
    QScrollBar::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        draw_focus(painter, this);
    }
}
