#pragma once

#include <QString>
#include <QStringList>

// Texts and style sheets shared across the program. They exist for the whole run.

// The program's name and version: the same in every language.
extern const QString ABOUT_TEXT;
// The box at the start, in the program's language.
QString welcome_text();

// Round 16 x 16 px lamps drawn on a QLabel: red alarm, green on, orange weak, grey off.
extern const QString LED_RED;
extern const QString LED_GREEN;
extern const QString LED_ORANGE;
extern const QString LED_GREY;

// RF channels offered at service levels 1 and 2, as decimal texts. Empty until
// the first main window fills them (fill_service_channel_lists()).
extern QStringList CHANNELS_SERVICE_1;
extern QStringList CHANNELS_SERVICE_2;

// Fills the two service channel lists, once per process: later calls change
// nothing, so every channel is listed exactly once however many windows exist.
void fill_service_channel_lists();
