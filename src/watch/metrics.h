#pragma once

#include "device_reading.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QVector>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class AlarmWatch;
class DeviceNames;
class DeviceRoster;
class DeviceSession;
struct AlarmRecord;

namespace httplib {
class Server;
}

// The devices in the Prometheus text exposition format (version 0.0.4):
// every family with its help and type, names prefixed tavero_, levels in
// dBm, counters ending in _total, and each device's identity in
// tavero_device_info. Every label value is escaped, whatever a name holds.
QByteArray metrics_text(const QVector<DeviceReading> &devices);

// A listening address "HOST:PORT" ("127.0.0.1:9523", "[::1]:9523",
// "localhost:9523"). False, with *error in the user's words, for another text.
bool split_listen_address(const QString &address, QString *host, int *port, QString *error);

// Keeps count of what the devices of a roster report (signal reports, lost
// links, alarms), and tells each present device as a DeviceReading. Both
// tvc-watch and the window's metrics use it.
class DeviceTally : public QObject
{
    Q_OBJECT

public:
    // `watch` tells the alarms (it may be null: no alarms); `names` the
    // devices' names (it may be null: none). Both stay the caller's.
    DeviceTally(DeviceRoster *roster, AlarmWatch *watch, const DeviceNames *names, QObject *parent = nullptr);

    // Every device whose port is there now, in the roster's order: the
    // linked ones and those another program holds. `restart`: the levels'
    // statistics begin a new stretch after this.
    QVector<DeviceReading> readings(bool restart = false);
    DeviceRoster *roster() const { return m_roster; }

signals:
    // A signal report with a reading was counted into `port`'s levels.
    void levels_added(const QString &port);

private:
    void follow_sessions();
    void take_reply(const QString &port, DeviceSession *session, quint8 code);
    void take_alarm(const AlarmRecord &record);

    DeviceRoster *m_roster;
    AlarmWatch *m_watch;
    const DeviceNames *m_names;
    QHash<QString, DeviceReading> m_kept;  // by port: counters and the stretch's levels
    QHash<QString, DeviceSession *> m_followed;
};

// Serves the metrics of a DeviceTally over HTTP at /metrics, from threads of
// its own. A request asks the program's thread for the text and gets it as
// it is then (or, should that thread not answer within WAIT_MS, the last
// one made); nothing is made while no one asks. A request's size and time
// are bounded.
class MetricsServer : public QObject
{
    Q_OBJECT

public:
    // A request waits this long at most for the text of the moment.
    static constexpr int WAIT_MS = 500;
    // A request may have this many bytes of body at most.
    static constexpr size_t MAX_BODY = 1024;
    // A connection that brings or takes no bytes for this long is closed, and
    // a kept-alive one that asks nothing more is closed after it: a stalled
    // client holds a thread no longer, and the program, once asked to end,
    // ends within about a second although Prometheus keeps its connection.
    static constexpr int IDLE_SECONDS = 1;
    // Requests are served by this many threads at most.
    static constexpr int THREADS = 4;

    explicit MetricsServer(DeviceTally *tally, QObject *parent = nullptr);
    ~MetricsServer() override;

    // Listens on `address` (HOST:PORT). False, with *error in the user's
    // words, when the address is wrong or cannot be had (another program
    // listens there).
    bool listen(const QString &address, QString *error);
    // The port listened on (0 until then).
    int port() const { return m_port; }
    // The text made last.
    QByteArray text() const;
    // Makes the text anew (on the program's thread).
    void refresh();

private:
    // On a request's thread: the text of the moment.
    std::string current_text();

    DeviceTally *m_tally;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_made;
    std::string m_text;
    quint64 m_generation = 0;  // texts made
    bool m_asked = false;      // a refresh is on its way to the program's thread
    bool m_stopping = false;
    int m_port = 0;
};

// The window's metrics: a tally with alarms and names of its own, and the
// server, for the devices of `roster`.
class WindowMetrics : public QObject
{
    Q_OBJECT

public:
    explicit WindowMetrics(DeviceRoster *roster, QObject *parent = nullptr);
    ~WindowMetrics() override;
    bool listen(const QString &address, QString *error) { return m_server->listen(address, error); }

private:
    std::unique_ptr<DeviceNames> m_names;
    AlarmWatch *m_watch;
    DeviceTally *m_tally;
    MetricsServer *m_server;
};
