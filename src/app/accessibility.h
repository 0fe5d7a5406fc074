#pragma once

#include <QColor>
#include <QList>
#include <QString>

class QWidget;

// Helpers that keep the window usable without colour, by keyboard alone, by
// a screen reader, and under any desktop theme.

// The contrast of two colours as accessibility guidelines measure it: from
// 1 (none) to 21 (black on white).
double contrast_ratio(const QColor &a, const QColor &b);

// Whether text of this colour reads on that background: 4.5:1 or more.
bool text_reads_on(const QColor &text, const QColor &background);

// The main window's panels draw a light background of their own. Under a
// desktop palette whose text would not read on it (a dark theme), they get a
// light palette, so that every text inside them stays readable; otherwise
// they follow the desktop.
void keep_panels_legible(const QList<QWidget *> &panels, const QColor &panel_background);

// On Linux Qt names a list (a combo box) by its current entry, whatever name
// it was given, and a screen reader reads "1 min, 1 min". From the first call
// on, a list is named by its accessible name where it has one, its entry
// being its value. Call before the lists are made.
void keep_list_names();

// Enter and Return press the focused button of `root` (and of its
// descendants), as Space does. In a dialog this keeps Enter on a button from
// pressing the dialog's default button instead.
void press_buttons_on_enter(QWidget *root);

// How soon a new accessible name or description is told. Every change is an
// announcement (over a desktop's accessibility bus, a message); what changes
// with every report, a signal level at up to 100 reports a second, is told
// at most once a second, the latest words each time. A change of state (a
// link that drops) is told at once, and so is a reset.
enum class Pace { AtOnce, Paced };
constexpr int PACED_MS = 1000;

// The accessible name and description, set only when they differ: Qt
// announces every one it is given, even an unchanged one.
void set_accessible_name(QWidget *widget, const QString &name, Pace pace = Pace::AtOnce);
void set_accessible_description(QWidget *widget, const QString &description, Pace pace = Pace::AtOnce);

// A screen reader that ticks a check box (or any checkable button) through
// its Toggle action gets what a click gives: Qt's own toggle changes the
// state without the click that the program acts on, so the box would say on
// while nothing was asked of the device. Installed once, for every window.
void act_on_accessible_toggles();
