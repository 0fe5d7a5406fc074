#include "time_plot.h"

#include <QDateTime>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int MARK_STRIP = 7;  // height of the dropout strip under the plot

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

} // namespace

TimePlot::TimePlot(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
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

QSize TimePlot::minimumSizeHint() const
{
    return QSize(240, 120);
}

QSize TimePlot::sizeHint() const
{
    return QSize(640, 260);
}

QRect TimePlot::plot_area() const
{
    const QFontMetrics metrics = fontMetrics();
    const int left = metrics.horizontalAdvance(QStringLiteral("-0000")) + 10;
    const int top = metrics.height() + 8;
    const int bottom = MARK_STRIP + metrics.height() + 8;
    return QRect(left, top, std::max(width() - left - 10, 1), std::max(height() - top - bottom, 1));
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

void TimePlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = plot_area();
    const QFontMetrics metrics = fontMetrics();
    const QColor text = palette().color(QPalette::WindowText);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.fillRect(area, palette().color(QPalette::Base));

    // Bands behind everything, their names at the right.
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
            painter.drawText(QRectF(area.left(), top, area.width() - 4, bottom - top),
                             Qt::AlignRight | Qt::AlignVCenter, band.label);
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

    // Legend above the plot: the lines, then the kinds of marks.
    double x = area.left();
    const double baseline = 4 + metrics.ascent();
    auto legend_entry = [&](const QString &name, const QColor &colour, bool swatch) {
        if (swatch)
            painter.fillRect(QRectF(x, baseline - metrics.ascent() / 2.0 - 4, 9, 9), colour);
        else
            painter.fillRect(QRectF(x, baseline - metrics.ascent() / 2.0 - 1, 14, 3), colour);
        x += swatch ? 13 : 18;
        painter.setPen(text);
        painter.drawText(QPointF(x, baseline), name);
        x += metrics.horizontalAdvance(name) + 14;
    };
    for (const Line &line : m_lines)
        legend_entry(line.name, line.colour, false);
    for (const Legend &entry : m_mark_legend)
        legend_entry(entry.name, entry.colour, true);
}
