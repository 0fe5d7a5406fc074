#include "form_widgets.h"

#include "accessibility.h"

#include <QLCDNumber>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace {

// Glyphs and arrows are drawn in near-black: it stands out from every lamp
// colour (at least 5:1 against the deepest red) and from the buttons' faces.
const QColor GLYPH_COLOUR(0x1a, 0x1a, 0x1a);
// A disabled arrow is grey, as a disabled button's text.
const QColor DISABLED_ARROW_COLOUR(0x80, 0x80, 0x80);

} // namespace

StatusLamp::StatusLamp(QWidget *parent)
    : QLabel(parent)
{
}

void StatusLamp::show_state(const LampState &state, Pace pace)
{
    const QString style = lamp_style(state.look);
    // Setting a style sheet re-polishes the widget even when nothing changes;
    // reports repeat the same lamp many times a second.
    if (styleSheet() != style)
        setStyleSheet(style);
    if (m_look != state.look) {
        m_look = state.look;
        update();
    }
    if (toolTip() != state.text)
        setToolTip(state.text);
    set_accessible_name(this, state.text, pace);
}

void StatusLamp::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (m_look == LampLook::Unlit)
        return;

    // The glyph fills the middle of the lamp, inside its rim.
    const QRectF box = QRectF(contentsRect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const qreal side = qMin(box.width(), box.height());
    const QRectF square(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    auto at = [&square](qreal x, qreal y) {
        return QPointF(square.left() + x * square.width(), square.top() + y * square.height());
    };

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(GLYPH_COLOUR, qMax<qreal>(2.0, side / 6), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    switch (m_look) {
    case LampLook::Good: {
        const QPointF tick[] = {at(0.12, 0.55), at(0.40, 0.82), at(0.88, 0.22)};
        painter.drawPolyline(tick, 3);
        break;
    }
    case LampLook::Weak:
        painter.drawEllipse(square.center(), side * 0.32, side * 0.32);
        break;
    case LampLook::Alarm:
        painter.drawLine(at(0.18, 0.18), at(0.82, 0.82));
        painter.drawLine(at(0.82, 0.18), at(0.18, 0.82));
        break;
    case LampLook::Unlit:
        break;
    }
}

ElidingLabel::ElidingLabel(QWidget *parent)
    : QLabel(parent)
{
}

// As short as a few letters and the ellipsis.
QSize ElidingLabel::minimumSizeHint() const
{
    const QSize whole = QLabel::minimumSizeHint();
    const int margins = whole.width() - fontMetrics().horizontalAdvance(text());
    // A line high also while empty, so that the window does not move when it fills.
    return QSize(qMax(0, margins) + fontMetrics().horizontalAdvance(QStringLiteral("ttyU\u2026")),
                 qMax(whole.height(), fontMetrics().height() + 2 * margin()));
}

void ElidingLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width());
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
}

ArrowButton::ArrowButton(QWidget *parent)
    : QToolButton(parent)
{
}

void ArrowButton::paintEvent(QPaintEvent *event)
{
    if (arrowType() != Qt::UpArrow && arrowType() != Qt::DownArrow) {
        QToolButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    // The style draws the button without its arrow or text; the arrow follows.
    option.features &= ~QStyleOptionToolButton::Arrow;
    option.arrowType = Qt::NoArrow;
    option.text.clear();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);

    // A solid triangle a third of the button wide, in its middle.
    const QPointF centre = QRectF(rect()).center();
    const qreal half = qMax<qreal>(4.0, qMin(width(), height()) / 6.0);
    const qreal tip = arrowType() == Qt::UpArrow ? -1.0 : 1.0;
    QPainterPath path;
    path.moveTo(centre.x() - half, centre.y() - tip * half / 2);
    path.lineTo(centre.x() + half, centre.y() - tip * half / 2);
    path.lineTo(centre.x(), centre.y() + tip * half * 5 / 6);
    path.closeSubpath();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? GLYPH_COLOUR : DISABLED_ARROW_COLOUR);
    painter.drawPath(path);
}

void show_signal_level(QProgressBar *bar, int level, Pace pace)
{
    // A level outside the bar's range leaves its value where it was.
    bar->setValue(level);
    const SignalReading reading = signal_reading(level);
    if (bar->format() != reading.level)
        bar->setFormat(reading.level);
    if (bar->toolTip() != reading.words)
        bar->setToolTip(reading.words);
    set_accessible_description(bar, reading.words, pace);
}

void show_audio_input(QLCDNumber *gain, QLabel *mode, const AudioInput &audio)
{
    gain->display(audio.gain);
    mode->setText(audio.mode);
    const QString gain_text = gain_words(audio.gain);
    if (gain->toolTip() != gain_text)
        gain->setToolTip(gain_text);
    set_accessible_name(gain, gain_text);
    set_accessible_name(mode, input_mode_words(audio.mode));
}
