#include "device_label.h"

#include "device_roster.h"
#include "device_session.h"
#include "device_state.h"
#include "status_display.h"

#include <QCoreApplication>
#include <QTextDocumentFragment>

namespace {

class DeviceLabel
{
    Q_DECLARE_TR_FUNCTIONS(DeviceLabel)
};

std::function<QString(const QString &)> &name_source()
{
    static std::function<QString(const QString &)> source;
    return source;
}

} // namespace

void set_device_name_source(std::function<QString(const QString &port)> source)
{
    name_source() = std::move(source);
}

QString device_name(const QString &port)
{
    const auto &source = name_source();
    return source && !port.isEmpty() ? source(port) : QString();
}

QString with_device_name(const QString &port, const QString &text)
{
    const QString name = device_name(port);
    if (name.isEmpty())
        return text;
    //: A device's name and what else names it: "Lead vocal: TXU Client (Slot 1) on ttyUSB0".
    return DeviceLabel::tr("%1: %2").arg(name, text);
}

QString role_words(const DeviceState &state)
{
    return QTextDocumentFragment::fromHtml(role_text(state.role, state.is_txu, state.slot, state.rep_mode))
        .toPlainText()
        .trimmed();
}

QString port_words(const QString &port, const QString &serial)
{
    if (serial.isEmpty())
        return port;
    //: A serial port and the serial number of its USB bridge: "ttyUSB0, serial number 0001".
    return DeviceLabel::tr("%1, serial number %2").arg(port, serial);
}

QString device_description(const QString &role, const QString &port, const QString &serial)
{
    const QString where = port_words(port, serial);
    if (role.isEmpty())
        return with_device_name(port, where);
    //: A device's role and where it is: "TXU Client (Slot 1) on ttyUSB0".
    return with_device_name(port, DeviceLabel::tr("%1 on %2").arg(role, where));
}

QString device_description(const DeviceRoster &roster, const QString &port)
{
    const DeviceSession *session = roster.find_session(port);
    const bool told = session && session->state().info_known;
    return device_description(told ? role_words(session->state()) : QString(), port, roster.serial_number(port));
}

QString firmware_words(const DeviceState &state)
{
    QStringList parts;
    if (state.wlan_known)
        parts << QStringLiteral("WLAN %1").arg(state.wlan_version);
    if (state.dsp_known)
        parts << QStringLiteral("DSP %1.%2").arg(state.dsp_major).arg(state.dsp_minor);
    return parts.join(QStringLiteral(", "));
}
