#include "fleet_update.h"

#include "fleet_report.h"
#include "update_printer.h"
#include "update_run.h"

FleetUpdate::FleetUpdate(const UpdateOptions &options, const QStringList &ports, const QList<SerialPortEntry> &busy,
                         Console *console, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_several(options.several() || ports.size() + busy.size() > 1)
{
    m_records.resize(size_t(ports.size() + busy.size()));
    for (int i = 0; i < ports.size(); ++i)
        m_records[size_t(i)].port = ports.at(i);
    for (int i = 0; i < busy.size(); ++i) {
        DeviceRecord &r = m_records[size_t(ports.size() + i)];
        const SerialPortEntry &port = busy.at(i);
        r.port = port.name;
        r.status = STATUS_DEVICE;
        r.stage = DeviceStage::Ended;
        r.reason = port.holder.isEmpty()
            ? tr("The port is in use by another program: nothing was sent.")
            : tr("The port is in use by %1: nothing was sent.").arg(port.holder);
    }
    for (int i = 0; i < ports.size(); ++i) {
        m_runs.push_back(std::make_unique<UpdateRun>(options, &m_records[size_t(i)]));
        connect(m_runs.back().get(), &UpdateRun::event, this, [this, i](DeviceEvent event) { device_event(i, event); });
    }
    m_printer = make_printer(m_records, console, m_several, options.check_only);
}

FleetUpdate::~FleetUpdate() = default;

void FleetUpdate::start(const UpdateInput &input)
{
    m_running = int(m_runs.size());
    m_starting = true;
    for (size_t i = m_runs.size(); i < m_records.size(); ++i)
        m_printer->device_event(int(i), DeviceEvent::Ended);
    for (const auto &run : m_runs)
        run->start(input);
    m_starting = false;
    if (m_running == 0)
        end();
}

void FleetUpdate::interrupt()
{
    for (const auto &run : m_runs)
        run->interrupt();
}

void FleetUpdate::resized()
{
    if (!m_ended)
        m_printer->resized();
}

int FleetUpdate::status() const
{
    if (!m_several && !m_records.empty() && m_records.front().status >= 0)
        return m_records.front().status;
    return overall_status(m_records);
}

void FleetUpdate::device_event(int index, DeviceEvent event)
{
    if (m_ended)
        return;
    m_printer->device_event(index, event);
    if (event == DeviceEvent::Ended && --m_running == 0 && !m_starting)
        end();
}

void FleetUpdate::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_printer->finished();
    emit finished(status());
}
