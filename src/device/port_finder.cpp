#include "port_finder.h"

#include <QSerialPortInfo>

const QString BRIDGE_MANUFACTURER = QStringLiteral("Silicon Lab");

QList<SerialPortEntry> system_serial_ports()
{
    QList<SerialPortEntry> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        ports.append({info.portName(), info.manufacturer(), info.isBusy()});
    return ports;
}

bool port_qualifies(const SerialPortEntry &port)
{
    return port.manufacturer.contains(BRIDGE_MANUFACTURER, Qt::CaseSensitive) && !port.busy;
}

PortFinder PortFinder::from_list(PortLister lister)
{
    PortFinder finder;
    finder.m_lister = std::move(lister);
    return finder;
}

PortFinder PortFinder::system()
{
    return from_list(system_serial_ports);
}

PortFinder PortFinder::fixed(const QString &name)
{
    PortFinder finder;
    finder.m_fixed = name;
    return finder;
}

QStringList PortFinder::candidates() const
{
    if (!m_lister)
        return m_fixed.isEmpty() ? QStringList() : QStringList{m_fixed};
    QStringList names;
    const auto ports = m_lister();
    for (const SerialPortEntry &port : ports) {
        if (port_qualifies(port))
            names.append(port.name);
    }
    return names;
}
