#include "update_run.h"

#include "console_report.h"
#include "frame.h"
#include "serial_settings.h"

namespace {

QString without_full_stop(const QString &text)
{
    return text.endsWith(QLatin1Char('.')) ? text.left(text.size() - 1) : text;
}

} // namespace

UpdateRun::UpdateRun(const UpdateOptions &options, RunReport *report, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_report(report)
    , m_engine(&m_port)
{
    m_engine.set_silence_limits(5000, options.timeout_s * 1000);
    connect(&m_port, &QSerialPort::readyRead, &m_engine, &UpdateEngine::read_port);
    connect(&m_port, &QSerialPort::errorOccurred, &m_engine, &UpdateEngine::port_error);

    connect(&m_engine, &UpdateEngine::module_changed, this, [this](const QString &text) { m_report->module(text); });
    connect(&m_engine, &UpdateEngine::versions_known, this,
            [this](const UpdateVersions &versions) { m_report->versions(versions); });
    connect(&m_engine, &UpdateEngine::image_started, this, [this](quint8 unit, qint64 size) {
        m_report->image_started(unit == UNIT_WLAN ? QStringLiteral("WLAN") : QStringLiteral("DSP"), size);
    });
    connect(&m_engine, &UpdateEngine::progress, this,
            [this](qint64 done, qint64, qint64 seconds_left) { m_report->progress(done, seconds_left); });
    connect(&m_engine, &UpdateEngine::image_done, this, [this] { m_report->image_done(); });
    connect(&m_engine, &UpdateEngine::refused, this, [this](const UpdateVersions &v) {
        auto value = [](const QByteArray &stored) { return ConsoleReport::printable(manifest_text(stored).trimmed()); };
        finish(STATUS_REFUSED,
               tr("The package does not fit the device (device WLAN %1, DSP %2.%3; package WLAN %4, DSP %5): "
                  "nothing was sent.")
                   .arg(QString::number(v.device.wlan_version), QString::number(v.device.dsp_major),
                        QString::number(v.device.dsp_minor), value(v.package_wlan), value(v.package_dsp)));
    });
    connect(&m_engine, &UpdateEngine::check_passed, this, [this] {
        m_report->step(tr("The package fits the device."));
        finish(STATUS_UPDATED);
    });
    connect(&m_engine, &UpdateEngine::failed, this, &UpdateRun::on_failed);
    connect(&m_engine, &UpdateEngine::link_lost, this, [this](const QString &reason) {
        finish(STATUS_DEVICE, not_complete(tr("Connection to the device lost (%1)").arg(reason)));
    });
    connect(&m_engine, &UpdateEngine::completed, this, [this] {
        m_report->step(tr("Firmware update completed successfully."));
        finish(STATUS_UPDATED);
    });
}

QString UpdateRun::not_complete(const QString &cause) const
{
    return m_options.check_only ? tr("%1: the check is not complete.").arg(cause)
                                : tr("%1: the update is not complete.").arg(cause);
}

void UpdateRun::start(const QString &port_name, std::shared_ptr<FirmwarePackage> package, const FirmwareImage &raw)
{
    m_port.setPortName(port_name);
    if (!m_port.open(QIODevice::ReadWrite) || !configure_serial_port(m_port)) {
        finish(STATUS_DEVICE, not_complete(tr("Cannot use the serial port %1 (%2)").arg(port_name, m_port.errorString())));
        return;
    }
    m_report->step(tr("Device port: %1").arg(port_name));
    if (m_options.raw_file.isEmpty())
        m_engine.start_update(std::move(package), m_options.check_only);
    else if (raw.is_loaded())
        m_engine.start_raw(raw, quint8(m_options.raw_unit));
    else
        m_engine.start_raw(m_options.raw_file, quint8(m_options.raw_unit));
}

void UpdateRun::interrupt()
{
    m_engine.cancel();
    finish(STATUS_INTERRUPTED, not_complete(tr("Interrupted")));
}

void UpdateRun::on_failed(UpdateEngine::Failure failure, const QString &text)
{
    switch (failure) {
    case UpdateEngine::Failure::Image:
        finish(STATUS_PACKAGE, tr("%1 (nothing was sent).").arg(without_full_stop(text)));
        break;
    case UpdateEngine::Failure::Device:
        finish(STATUS_DEVICE, not_complete(without_full_stop(text)));
        break;
    case UpdateEngine::Failure::Silence:
        finish(STATUS_DEVICE, text);
        break;
    }
}

void UpdateRun::finish(int status, const QString &error)
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_port.isOpen())
        m_port.close();
    if (!error.isEmpty())
        m_report->error(error);
    emit finished(status);
}
