#pragma once

#include "port_finder.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class DeviceSession;
class PortWatcher;
class ReportLog;

// Every device the program knows of: a session (and its link history) for
// each port the device may be on, kept for the whole run, and the ports that
// another program holds. The main window views one of the sessions; the
// overview of all devices views them all.
//
// The roster follows the ports as they come and go. Once asked to keep every
// device linked (keep_all_linked()), it opens each port it finds and opens
// again a port that comes back after it was lost; a session whose port has
// gone stays, as unplugged.
class DeviceRoster : public QObject
{
    Q_OBJECT

public:
    // The histories of all devices together take at most this much memory.
    static constexpr qint64 HISTORY_BUDGET = 32LL * 1024 * 1024;

    struct Entry
    {
        QString port;
        DeviceSession *session = nullptr;  // null for a port that another program holds
        bool present = false;              // the port is there now
        QString holder;                    // who holds a busy port, when known
        QString error;                     // why the port could not be opened, last time
    };

    explicit DeviceRoster(PortFinder finder, QObject *parent = nullptr);
    ~DeviceRoster() override;

    const PortFinder &finder() const { return m_finder; }
    // The finder's look at the ports now; the serial numbers of the bridges
    // it saw are kept (also for a port that goes later).
    PortScan scan();
    // The serial number of the USB bridge on `port`, as last seen; empty
    // where it reports none.
    QString serial_number(const QString &port) const { return m_serials.value(port); }

    // The session of `port`. When there was none, `spare` (a session without
    // a port, which the roster then owns) or a new one becomes it, closed,
    // with a history of its own.
    DeviceSession *session(const QString &port, DeviceSession *spare = nullptr);
    // Whether `port` has a session.
    bool has_session(const QString &port) const { return m_sessions.contains(port); }
    // The session of `port`, or null.
    const DeviceSession *find_session(const QString &port) const { return m_sessions.value(port); }
    ReportLog *history(const QString &port) const;

    // Sessions in the order their ports were first seen, then the busy ports;
    // a port of a session that another program holds now is listed busy in
    // its session's place, once.
    QList<Entry> entries() const;

    // Looks at the ports now: a new port of the device gets a session, and
    // ports that went or that another program holds are noted.
    void look();
    // From now on every device port found is opened, and opened again when
    // it comes back.
    void keep_all_linked();
    bool keeping_all_linked() const { return m_keep_all; }
    // Signal-strength reports on for every linked device whose main window
    // would let Signal Strength be ticked (signal_strength_allowed).
    void signal_reports_for_all();

signals:
    // The set of ports may have changed (a device was plugged in or pulled
    // out); the roster has looked already.
    void ports_changed();
    // The entries changed: a port came, went, or was opened or lost.
    void entries_changed();

private:
    void ports_moved();
    void open_present();
    void share_budget();
    // Another session has the file that `port` leads to open (under another
    // name): `port` is the same device.
    bool open_under_other_name(const QString &port) const;

    PortFinder m_finder;
    PortWatcher *m_watcher = nullptr;
    QStringList m_order;  // ports with a session, in the order they were first seen
    QHash<QString, DeviceSession *> m_sessions;
    QHash<QString, std::shared_ptr<ReportLog>> m_histories;
    QStringList m_present;
    QList<SerialPortEntry> m_busy;
    QHash<QString, QString> m_errors;
    QHash<QString, QString> m_serials;
    bool m_keep_all = false;
};
