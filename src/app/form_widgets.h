#pragma once

#include "accessibility.h"
#include "status_display.h"

#include <QLabel>
#include <QToolButton>

class QLCDNumber;
class QProgressBar;

// Widgets of the main window's form that draw more than their Qt class does.
// The form names them in place of QLabel and QToolButton; they keep their
// object names, style sheets and everything else of those classes.

// A round status lamp. Its style sheet gives the colour; on top it draws a
// glyph for the look (a tick, a ring, a cross, or nothing when unlit), so
// that its state reads without colour. Its tooltip and accessible name say
// the state in words.
class StatusLamp : public QLabel
{
    Q_OBJECT

public:
    explicit StatusLamp(QWidget *parent = nullptr);

    // Lights the lamp. Only what differs from the lamp's present state is
    // set, so a state reported again announces nothing; `pace` says how soon
    // new words are told (see Pace).
    void show_state(const LampState &state, Pace pace = Pace::AtOnce);
    LampLook look() const { return m_look; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    LampLook m_look = LampLook::Unlit;
};

// A one-line label whose text, where it is too long for the label, is drawn
// shortened in the middle ("/dev/serial/by-id/usb-…-port0") rather than
// widening the window. Its text, accessible name and tooltip stay whole.
class ElidingLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidingLabel(QWidget *parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A round tool button that draws its arrow in a dark colour of its own: the
// style sheet's white text colour does not show on the button's light face.
class ArrowButton : public QToolButton
{
    Q_OBJECT

public:
    explicit ArrowButton(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A signal level on a bar: its value (when the bar's range holds it), the
// level in dBm as the bar's text, and the level with its colour band in words
// as tooltip and accessible description.
void show_signal_level(QProgressBar *bar, int level, Pace pace = Pace::AtOnce);

// The gain number and the input mode, with their accessible names.
void show_audio_input(QLCDNumber *gain, QLabel *mode, const AudioInput &audio);
