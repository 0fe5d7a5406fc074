#pragma once

#include "alarm_rules.h"

#include <QCoreApplication>
#include <QString>

#include <functional>

class QSettings;

// The user's settings file, which the window and the watcher without a
// window share: the devices' names and how the show is watched.
QString user_settings_file();

// Whether a settings file can be read: a file that is not there can (it holds
// nothing yet). For one that cannot, `problem` says so in the user's words.
// (QSettings tells only the first of several readers in a program: the
// others get what it made of the file, and no word of its state.)
struct SettingsFileState
{
    bool readable = true;
    QString problem;
};
SettingsFileState settings_file_state(const QString &file);

// Writes into the settings file by `write`. A file that could not be read is
// moved aside first, to `file` + UNREADABLE_SUFFIX, rather than written over:
// what QSettings made of it would replace it. False, with `problem` in the
// user's words, when the settings could not be written.
bool write_settings_file(const QString &file, const std::function<void(QSettings &)> &write, QString *problem);
extern const QString UNREADABLE_SUFFIX;

// How the show is watched: the alarms' limits, and whether a new alarm is
// announced on the desktop.
struct ShowSettings
{
    AlarmSettings alarms;
    bool notifications = true;

    bool operator==(const ShowSettings &other) const
    {
        return alarms == other.alarms && notifications == other.notifications;
    }
    bool operator!=(const ShowSettings &other) const { return !(*this == other); }
};

// The show's settings as `file` keeps them; a value that is missing or out of
// bounds is its default. A file that cannot be read gives the defaults, and
// `problem` says so (the file stays as it is until they are saved).
ShowSettings read_show_settings(const QString &file, QString *problem);
// False, with `problem`, when they could not be written.
bool save_show_settings(const ShowSettings &settings, const QString &file, QString *problem);
