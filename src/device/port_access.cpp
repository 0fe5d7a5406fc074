#include "port_access.h"

#include "port_finder.h"

#include <QCoreApplication>
#include <QFile>
#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>

namespace {

// The words of the access to a port.
class PortAccess
{
    Q_DECLARE_TR_FUNCTIONS(PortAccess)
};

} // namespace
#endif

bool port_access_denied(const QString &location)
{
#ifdef Q_OS_UNIX
    if (location.isEmpty())
        return false;
    // The real user's rights, as open() sees them for a program that is not
    // set-user-id. EPERM: a security module refuses it.
    if (::access(QFile::encodeName(location).constData(), R_OK | W_OK) == 0)
        return false;
    return errno == EACCES || errno == EPERM;
#else
    Q_UNUSED(location)
    return false;
#endif
}

QString port_access_hint()
{
    return PortAccess::tr(
        "To use the port without root, plug the device in again or log in again (the udev rule "
        "70-tavero-companion.rules that the package installs gives the user at the seat access), or join "
        "the dialout group with \"sudo adduser $USER dialout\" and log out and in again.");
}

QString open_failure_advice(const QSerialPort &port)
{
    // A port that another program holds is reported as a permission error
    // too (its lock file, or the exclusive mode of the terminal): the file's
    // own permissions tell the two apart.
    if (port_access_denied(port_location(port.portName())))
        return port_access_hint();
    const QString holder = port_lock_holder(port.portName());
    if (!holder.isEmpty())
        return PortAccess::tr("The port is in use by %1.").arg(holder);
    return QString();
}
