#pragma once

#include "port_finder.h"
#include "watch_options.h"
#include "watch_output.h"

#include <QObject>
#include <QSet>
#include <QTimer>

#include <memory>

class AlarmWatch;
class DeviceNames;
class DeviceRoster;
class DeviceSession;
class DeviceTally;
class MetricsServer;
struct Console;

// Exit statuses of tvc-watch.
constexpr int WATCH_ALL_READ = 0;
constexpr int WATCH_NONE_FOUND = 1;
constexpr int WATCH_USAGE = 2;
constexpr int WATCH_SOME_UNREAD = 3;
constexpr int WATCH_INTERRUPTED = 130;

// One run of tvc-watch: links every device the finder finds (and those that
// come later), asks them for their status, versions and signal reports, and
// prints what they report; with --follow until it is stopped, otherwise once
// every device has told or READ_WAIT_MS have passed. Signal reports it asked
// for are switched off again at the end.
class WatchTool : public QObject
{
    Q_OBJECT

public:
    // A single reading waits this long at most for the devices to tell.
    static constexpr int READ_WAIT_MS = 3500;

    WatchTool(const WatchOptions &options, const PortFinder &finder, Console *console, QObject *parent = nullptr);
    ~WatchTool() override;

    // Runs; finished() follows, perhaps before this returns.
    void start();
    // SIGINT or SIGTERM: ends at once, switching reports off.
    void interrupt();

signals:
    void finished(int status);

private:
    void follow_sessions();
    void take_reply(DeviceSession *session, quint8 code);
    void ask_reports(DeviceSession *session);
    void check_read();
    void print_reading();
    void write(const QByteArray &bytes);
    WatchWho who(const QString &port, const QString &key) const;
    void end(int status, const QString &error = QString());

    WatchOptions m_options;
    PortFinder m_finder;
    Console *m_console;
    WatchLines m_lines;
    std::unique_ptr<DeviceNames> m_names;
    DeviceRoster *m_roster = nullptr;
    AlarmWatch *m_watch = nullptr;
    DeviceTally *m_tally = nullptr;
    MetricsServer *m_server = nullptr;
    QSet<DeviceSession *> m_followed;
    QSet<DeviceSession *> m_versions_asked;  // since the port opened
    QSet<DeviceSession *> m_reports_asked;
    QTimer m_tick;      // a reading while following; a look whether all have told otherwise
    QTimer m_deadline;  // the single reading's
    bool m_ended = false;
};
