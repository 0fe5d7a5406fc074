#include "port_finder.h"

#include "port_access.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>
#include <QSerialPortInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <limits>
#include <signal.h>
#include <sys/types.h>
#endif

const QString BRIDGE_MANUFACTURER = QStringLiteral("Silicon Lab");

QString port_location(const QString &name)
{
    const bool is_path = name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1String("./"))
        || name.startsWith(QLatin1String("../"));
    return is_path ? name : QStringLiteral("/dev/") + name;
}

QString port_file(const QString &name)
{
    const QFileInfo info(port_location(name));
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

const QStringList SERIAL_LOCK_FOLDERS = {
    QStringLiteral("/var/lock"),        QStringLiteral("/run/lock"),
    QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
    QStringLiteral("/etc/locks"),       QDir::tempPath(),
};

// Qt 6 has no busy test for a port and Qt 5 deprecates its own, so the lock
// files are read here.
QList<SerialPortEntry> system_serial_ports()
{
    QList<SerialPortEntry> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        const QString holder = port_lock_holder(info.portName());
        ports.append(SerialPortEntry{info.portName(), info.manufacturer(), !holder.isEmpty(), holder,
                                     port_access_denied(info.systemLocation()), info.serialNumber()});
    }
    return ports;
}

namespace {

// The process id in the live lock file of the port `name`, or 0.
qint64 lock_holder_pid(const QString &name, const QStringList &folders)
{
#ifdef Q_OS_UNIX
    if (name.isEmpty())
        return 0;
    const QString file_name = QStringLiteral("LCK..") + QString(name).replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const QString &folder : folders) {
        QFile lock(QDir(folder).filePath(file_name));
        if (!lock.open(QIODevice::ReadOnly))
            continue;
        bool number = false;
        const qint64 pid = lock.readLine(64).trimmed().toLongLong(&number);
        // Not a process id. Zero and negative numbers would ask kill() about a
        // process group or every process.
        if (!number || pid <= 0 || pid > std::numeric_limits<pid_t>::max())
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM)
            return pid;
    }
    return 0;
#else
    Q_UNUSED(name)
    Q_UNUSED(folders)
    return 0;
#endif
}

} // namespace

bool port_is_locked(const QString &name, const QStringList &folders)
{
    return lock_holder_pid(name, folders) > 0;
}

QString port_lock_holder(const QString &name, const QStringList &folders)
{
    const qint64 pid = lock_holder_pid(name, folders);
    if (pid <= 0)
        return QString();
    QString program;
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (comm.open(QIODevice::ReadOnly)) {
        // A program may give itself any name: only printable characters pass.
        for (const QChar c : QString::fromUtf8(comm.read(64)).trimmed()) {
            if (c.isPrint())
                program += c;
        }
    }
    if (program.isEmpty())
        return PortFinder::tr("process %1").arg(pid);
    return PortFinder::tr("%1 (process %2)").arg(program, QString::number(pid));
}

QString why_passed_over(const SerialPortEntry &port)
{
    if (!port.manufacturer.contains(BRIDGE_MANUFACTURER, Qt::CaseSensitive)) {
        const QString reported = port.manufacturer.isEmpty()
            ? PortFinder::tr("reports no manufacturer")
            : PortFinder::tr("reports the manufacturer \"%1\"").arg(port.manufacturer);
        return PortFinder::tr("%1, not \"%2\"").arg(reported, BRIDGE_MANUFACTURER);
    }
    if (port.busy)
        return port.holder.isEmpty() ? PortFinder::tr("in use by another program")
                                     : PortFinder::tr("in use by %1").arg(port.holder);
    return QString();
}

PortFinder PortFinder::from_list(PortLister lister, const QStringList &places)
{
    PortFinder finder;
    finder.m_lister = lister ? std::move(lister) : [] { return QList<SerialPortEntry>(); };
    finder.m_places = places;
    return finder;
}

PortFinder PortFinder::system()
{
#ifdef Q_OS_UNIX
    return from_list(system_serial_ports, {QStringLiteral("/dev")});
#else
    return from_list(system_serial_ports);
#endif
}

PortFinder PortFinder::fixed(const QStringList &names, PortLister lister)
{
    PortFinder finder;
    finder.m_named = true;
    finder.m_lister = std::move(lister);
    for (const QString &name : names) {
        if (name.isEmpty() || finder.m_fixed.contains(name))
            continue;
        finder.m_fixed.append(name);
#ifdef Q_OS_UNIX
        // The directory of the name itself: a stable symlink comes and goes there.
        const QString place = QFileInfo(port_location(name)).absolutePath();
        if (!finder.m_places.contains(place))
            finder.m_places.append(place);
#endif
    }
    return finder;
}

// Two names of one port would open it twice: the first name given stands for
// it, the others are passed over.
PortScan PortFinder::scan_fixed() const
{
    PortScan scan;
    QHash<QString, QString> serials;  // by file
    if (m_lister) {
        const auto ports = m_lister();
        for (const SerialPortEntry &port : ports) {
            if (!port.serial_number.isEmpty())
                serials.insert(port_file(port.name), port.serial_number);
        }
    }
    QHash<QString, QString> taken;  // file -> the name that stands for it
    QStringList lines;
    for (const QString &name : m_fixed) {
        const QString file = port_file(name);
        const auto first = taken.constFind(file);
        if (first != taken.constEnd()) {
            lines.append(PortFinder::tr("Port named on the command line: %1, the same port as %2").arg(name, *first));
            continue;
        }
        taken.insert(file, name);
        scan.candidates.append(name);
        const QString serial = serials.value(file);
        if (!serial.isEmpty())
            scan.serial_numbers.insert(name, serial);
        QString line = PortFinder::tr("Port named on the command line: %1").arg(name);
        if (QFileInfo::exists(port_location(name)))
            scan.present.append(name);
        if (port_access_denied(port_location(name)))
            line += PortFinder::tr(", no permission");
        lines.append(line);
    }
    scan.summary = lines.join(QLatin1Char('\n'));
    return scan;
}

PortScan PortFinder::scan() const
{
    if (m_named)
        return scan_fixed();
    PortScan scan;
    if (!m_lister)
        return scan;
    QStringList lines;
    const auto ports = m_lister();
    for (const SerialPortEntry &port : ports) {
        scan.present.append(port.name);
        const QString reason = why_passed_over(port);
        if (reason.isEmpty()) {
            scan.candidates.append(port.name);
            if (!port.serial_number.isEmpty())
                scan.serial_numbers.insert(port.name, port.serial_number);
            lines.append(port.no_access ? PortFinder::tr("%1: device bridge, no permission").arg(port.name)
                                        : PortFinder::tr("%1: device bridge").arg(port.name));
        } else {
            lines.append(PortFinder::tr("%1: passed over, %2").arg(port.name, reason));
            if (port.busy && port.manufacturer.contains(BRIDGE_MANUFACTURER, Qt::CaseSensitive))
                scan.busy.append(port);
        }
    }
    if (ports.isEmpty())
        scan.summary = PortFinder::tr("No serial ports were found.");
    else
        scan.summary = PortFinder::tr("Serial ports seen:") + QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
    return scan;
}
