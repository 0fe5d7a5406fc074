#include "update_tool.h"

#include "console.h"
#include "device_record.h"
#include "fleet_update.h"
#include "package_listing.h"

#include <QCoreApplication>

UpdateTool::UpdateTool(const UpdateOptions &options, const PortFinder &ports, Console *console,
                       std::function<bool()> interrupt_requested, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_ports(ports)
    , m_console(console)
    , m_interrupt_requested(std::move(interrupt_requested))
{
}

UpdateTool::~UpdateTool() = default;

bool UpdateTool::interrupted() const
{
    return m_interrupt_requested && m_interrupt_requested();
}

void UpdateTool::start()
{
    // Reading a large package takes a while, and the event loop waits for
    // it: an interrupt meanwhile is only seen afterwards, and then no device
    // has been touched.
    QString error;
    const bool read = read_update_input(m_options, &m_input, &error);
    if (interrupted()) {
        finish(STATUS_INTERRUPTED, tr("Interrupted while the package was read: nothing was sent."));
        return;
    }
    if (!read) {
        finish(STATUS_PACKAGE, error);
        return;
    }
    if (m_options.check_only && m_input.package) {
        for (const QString &line : image_lines(*m_input.package))
            m_console->out.write(line + QLatin1Char('\n'));
    }

    QStringList ports = m_options.ports;
    QList<SerialPortEntry> busy;
    if (ports.isEmpty()) {
        const PortScan scan = m_ports.scan();
        busy = scan.busy;
        ports = scan.candidates;
        if (!m_options.all)
            ports = ports.mid(0, 1);
        if (!m_options.all && !ports.isEmpty())
            busy.clear();
        if (ports.isEmpty() && (busy.isEmpty() || !m_options.all)) {
            QString cause = tr("No device found (no free serial port reports the manufacturer \"%1\")")
                                .arg(BRIDGE_MANUFACTURER);
            for (const SerialPortEntry &port : std::as_const(busy))
                cause += port.holder.isEmpty() ? tr("; %1 is in use by another program").arg(port.name)
                                               : tr("; %1 is in use by %2").arg(port.name, port.holder);
            finish(STATUS_DEVICE, tr("%1: nothing was sent.").arg(cause));
            return;
        }
    }
    m_fleet = std::make_unique<FleetUpdate>(m_options, ports, busy, m_console);
    connect(m_fleet.get(), &FleetUpdate::finished, this, [this](int status) { finish(status); });
    m_fleet->start(m_input);
}

void UpdateTool::interrupt()
{
    if (m_fleet)
        m_fleet->interrupt();
}

void UpdateTool::resized()
{
    if (m_fleet)
        m_fleet->resized();
}

void UpdateTool::finish(int status, const QString &error)
{
    if (m_finished)
        return;
    m_finished = true;
    if (!error.isEmpty())
        m_console->err.write(QCoreApplication::applicationName() + QStringLiteral(": ") + error + QLatin1Char('\n'));
    m_input = UpdateInput();
    emit finished(status);
}
