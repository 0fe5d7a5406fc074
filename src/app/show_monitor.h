#pragma once

#include "alarm_watch.h"
#include "device_names.h"
#include "show_settings.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

class DeviceRoster;
class ShowLog;

// What the window keeps of a show: the alarm watch over every device of the
// roster, the show log it feeds, the names the user gave the devices and the
// show's settings, both in the user's settings file.
class ShowMonitor : public QObject
{
    Q_OBJECT

public:
    ShowMonitor(DeviceRoster *roster, const QString &settings_file, QObject *parent = nullptr);
    ~ShowMonitor() override;

    AlarmWatch *watch() const { return m_watch; }
    ShowLog *log() const { return m_log; }

    const ShowSettings &settings() const { return m_settings; }
    // Takes and writes new settings; false, with `problem`, when they could
    // not be written (they hold for this run all the same).
    bool save_settings(const ShowSettings &settings, QString *problem);
    // Why the settings file could not be read at start; empty once it could,
    // or once the settings were saved.
    QString settings_problem() const { return m_settings_problem; }

    // The name of the device on `port` as the user gave it; empty: none.
    QString name(const QString &port) const;
    // Names the device on `port` (an empty name takes its name away); false,
    // with `problem`, when the settings file could not be written.
    bool rename(const QString &port, const QString &name, QString *problem);

    // An alarm in words, with its glyph: "⚠ link lost since 21:14:03",
    // "⚠ link lost since 21:14:03, seen", "⚑ link lost 21:14:03 for 1.2 s".
    static QString alarm_words(const AlarmRecord &record);
    // The alarms of the device on `port` in one line: the running ones, then
    // the newest past one and how many more wait.
    QString alarm_line(const QString &port) const;
    // "2 alarms" (unacknowledged, of every device); empty for none.
    QString count_text() const;

signals:
    void names_changed();
    void settings_changed();

private:
    QString key_of(const QString &port) const;

    QString m_file;
    AlarmWatch *m_watch;
    ShowLog *m_log;
    std::unique_ptr<DeviceNames> m_names;
    ShowSettings m_settings;
    QString m_settings_problem;
    AlarmWatch::KeyOf m_key_of;
    mutable QHash<QString, QString> m_keys;
};
