#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// What the program needs to know of a serial port to decide whether the device
// is on it.
struct SerialPortEntry
{
    SerialPortEntry() = default;
    SerialPortEntry(const QString &port_name, const QString &port_manufacturer, bool port_busy = false,
                    const QString &port_holder = QString(), bool port_no_access = false,
                    const QString &port_serial = QString())
        : name(port_name)
        , manufacturer(port_manufacturer)
        , busy(port_busy)
        , holder(port_holder)
        , no_access(port_no_access)
        , serial_number(port_serial)
    {
    }

    QString name;
    QString manufacturer;
    bool busy = false;
    // Who holds a busy port, where its lock file says: "minicom (process
    // 1234)", "process 1234", or empty when that is not known.
    QString holder;
    // This user may not open the port (its file's permissions).
    bool no_access = false;
    // The USB bridge's serial number; empty where it reports none.
    QString serial_number;
};

using PortLister = std::function<QList<SerialPortEntry>()>;

// The file of a port: a name such as ttyUSB0 lives in /dev; a device path
// (/dev/pts/3, ./link) is its own.
QString port_location(const QString &name);

// The file that the port `name` leads to, symbolic links followed: every name
// of one port (a name and its path, a link to it) gives the same file. A port
// that is not there keeps its absolute path.
QString port_file(const QString &name);

// The serial ports the system reports, in the system's order.
QList<SerialPortEntry> system_serial_ports();

// The folders where serial programs on Unix leave a lock file while they hold a
// port, the usual one first.
extern const QStringList SERIAL_LOCK_FOLDERS;

// Whether another program holds the serial port `name` (a port name such as
// ttyUSB0): while it has the port open, a serial program keeps a lock file
// LCK..<name> (with '/' written as '_') whose first line is its process id. A
// file whose process is gone is stale and holds nothing; a system without such
// lock files has no busy port.
bool port_is_locked(const QString &name, const QStringList &folders = SERIAL_LOCK_FOLDERS);

// The program that holds the serial port `name` by a live lock file, as
// "minicom (process 1234)" (its name as the system reports it) or "process
// 1234" where the name cannot be read; empty when no program holds the port.
QString port_lock_holder(const QString &name, const QStringList &folders = SERIAL_LOCK_FOLDERS);

// The device sits behind a USB bridge whose manufacturer string contains this
// text (exact case, anywhere in the string).
extern const QString BRIDGE_MANUFACTURER;

// Why a port cannot be the device's, or an empty text when it can: its
// manufacturer must name the bridge and no other program may hold it.
QString why_passed_over(const SerialPortEntry &port);

// The result of one search: the candidates, first choice first, a few lines
// for the user on what was seen, and every port there is now, candidate or not
// (so that a later search can tell which ports are new).
struct PortScan
{
    QStringList candidates;
    QString summary;
    QStringList present;
    // Ports whose bridge is the device's but which another program holds.
    QList<SerialPortEntry> busy;
    // The serial numbers of the candidates' bridges, where they report one.
    QHash<QString, QString> serial_numbers;
};

// Finds the names of the ports the device may be on, first choice first.
class PortFinder
{
    Q_DECLARE_TR_FUNCTIONS(PortFinder)

public:
    // Every qualifying port that `lister` reports, in its order. New ports
    // appear in the directories `places` (none: the finder is not told of them).
    static PortFinder from_list(PortLister lister, const QStringList &places = QStringList());
    // The system's ports (the default).
    static PortFinder system();
    // Ports named by the user (port names or device paths), taken as they
    // are, in their order: no manufacturer or busy test. Each is present
    // while its file exists; names that lead to one port count once, as the
    // first of them. A port's bridge is described by the port of `lister`
    // that leads to the same file, where there is one.
    static PortFinder fixed(const QStringList &names, PortLister lister = PortLister());
    static PortFinder fixed(const QString &name) { return fixed(QStringList{name}); }

    PortScan scan() const;
    // The directories in which the ports this finder looks for appear.
    QStringList places() const { return m_places; }

private:
    PortScan scan_fixed() const;

    PortLister m_lister;
    bool m_named = false;  // the ports are those of m_fixed; m_lister only describes them
    QStringList m_fixed;
    QStringList m_places;
};
