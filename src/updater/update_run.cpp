#include "update_run.h"

#include "frame.h"
#include "port_access.h"
#include "serial_settings.h"
#include "terminal_text.h"

UpdateRun::UpdateRun(const UpdateOptions &options, DeviceRecord *record, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_record(record)
    , m_engine(&m_port)
{
    m_engine.set_silence_limits(5000, options.timeout_s * 1000);
    connect(&m_port, &QSerialPort::readyRead, &m_engine, &UpdateEngine::read_port);
    connect(&m_port, &QSerialPort::errorOccurred, &m_engine, &UpdateEngine::port_error);

    connect(&m_engine, &UpdateEngine::notice_changed, this, [this](UpdateEngine::Notice notice, int seconds) {
        m_record->notice = notice;
        m_record->silent_seconds = seconds;
        emit event(DeviceEvent::Notice);
    });
    connect(&m_engine, &UpdateEngine::versions_known, this, [this](const UpdateVersions &v) {
        DeviceRecord &r = *m_record;
        r.type = v.device_type;
        r.versions_known = true;
        r.before = v.device;
        r.package_name = manifest_value(v.package_name);
        r.package_wlan = manifest_value(v.package_wlan);
        r.package_dsp = manifest_value(v.package_dsp);
        r.stage = DeviceStage::Checking;
        emit event(DeviceEvent::Versions);
    });
    connect(&m_engine, &UpdateEngine::image_started, this, [this](quint8 unit, qint64 size) {
        DeviceRecord &r = *m_record;
        r.stage = DeviceStage::Sending;
        r.unit = unit;
        r.total = size;
        r.done = 0;
        r.image_ms = 0;
        r.notice = UpdateEngine::Notice::None;
        m_image_clock.start();
        emit event(DeviceEvent::ImageStarted);
    });
    connect(&m_engine, &UpdateEngine::progress, this, [this](qint64 done, qint64, qint64 seconds_left) {
        DeviceRecord &r = *m_record;
        r.done = done;
        r.image_ms = m_image_clock.elapsed();
        r.seconds_left = seconds_left;
        r.data_sent = true;
        emit event(DeviceEvent::Progress);
    });
    connect(&m_engine, &UpdateEngine::image_done, this, [this] {
        DeviceRecord &r = *m_record;
        r.done = r.total;
        r.image_ms = m_image_clock.elapsed();
        r.stage = DeviceStage::Finishing;
        emit event(DeviceEvent::ImageDone);
    });
    connect(&m_engine, &UpdateEngine::refused, this, [this](const UpdateVersions &v) {
        finish(STATUS_REFUSED, tr("%1; nothing was sent.").arg(misfit_text(v)));
    });
    connect(&m_engine, &UpdateEngine::check_passed, this, [this] { finish(STATUS_UPDATED); });
    connect(&m_engine, &UpdateEngine::failed, this, &UpdateRun::on_failed);
    connect(&m_engine, &UpdateEngine::link_lost, this, [this](const QString &reason) {
        finish(STATUS_DEVICE, not_done(tr("Connection to the device lost (%1)").arg(reason)));
    });
    connect(&m_engine, &UpdateEngine::completed, this, [this] { finish(STATUS_UPDATED); });
}

QString UpdateRun::not_done(const QString &cause) const
{
    if (m_options.check_only)
        return tr("%1: the check is not complete.").arg(cause);
    if (m_engine.data_sent())
        return tr("%1: the update is not complete.").arg(cause);
    return tr("%1: nothing was sent.").arg(cause);
}

void UpdateRun::start(const UpdateInput &input)
{
    m_clock.start();
    m_port.setPortName(m_record->port);
    const bool opened = m_port.open(QIODevice::ReadWrite);
    if (!opened || !configure_serial_port(m_port)) {
        QString message = not_done(tr("Cannot use the serial port %1 (%2)").arg(m_record->port, m_port.errorString()));
        const QString advice = opened ? QString() : open_failure_advice(m_port);
        if (!advice.isEmpty())
            message += QLatin1Char(' ') + advice;
        finish(STATUS_DEVICE, message);
        return;
    }
    emit event(DeviceEvent::Opened);
    if (m_record->status >= 0)
        return;
    if (input.package)
        m_engine.start_update(input.package, m_options.check_only);
    else
        m_engine.start_raw(input.raw, quint8(m_options.raw_unit));
}

void UpdateRun::interrupt()
{
    m_engine.cancel();
    finish(STATUS_INTERRUPTED, not_done(tr("Interrupted")));
}

void UpdateRun::on_failed(UpdateEngine::Failure failure, const QString &detail)
{
    switch (failure) {
    case UpdateEngine::Failure::Image:
        finish(STATUS_PACKAGE, image_failure_text(detail));
        break;
    case UpdateEngine::Failure::Device:
        finish(STATUS_DEVICE, not_done(tr("The device did not report a type that the package has a DSP image for")));
        break;
    case UpdateEngine::Failure::Silence:
        finish(STATUS_DEVICE, not_done(tr("The device has not answered for %n seconds", nullptr, m_options.timeout_s)));
        break;
    case UpdateEngine::Failure::Damaged:
        finish(STATUS_DEVICE, not_done(tr("The device's answer to chunk %1 of %2 of the %3 image came damaged")
                                           .arg(m_engine.chunk_in_flight() + 1)
                                           .arg(m_engine.chunks_in_image())
                                           .arg(m_engine.unit() == UNIT_WLAN ? QStringLiteral("WLAN")
                                                                             : QStringLiteral("DSP")))
                                  + QLatin1Char(' ') + tr("The update can be started again."));
        break;
    }
}

void UpdateRun::finish(int status, const QString &reason)
{
    if (m_record->status >= 0)
        return;
    if (m_port.isOpen())
        m_port.close();
    DeviceRecord &r = *m_record;
    r.status = status;
    r.reason = reason;
    r.stage = DeviceStage::Ended;
    r.notice = UpdateEngine::Notice::None;
    r.data_sent = m_engine.data_sent();
    r.elapsed_ms = m_clock.isValid() ? m_clock.elapsed() : 0;
    emit event(DeviceEvent::Ended);
}
