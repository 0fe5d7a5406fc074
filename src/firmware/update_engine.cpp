#include "update_engine.h"

#include "frame.h"

const QString UPDATING_WLAN_TEXT = QStringLiteral("Updating WLAN Firmware...");
const QString UPDATING_DSP_TEXT = QStringLiteral("Updating DSP Firmware...");
const QString LINK_LOST_TEXT = QStringLiteral("Connection to the device lost: the update is not complete.");
const QString FINISHING_TEXT = QStringLiteral("The device is finishing the update. Do not disconnect it.");

namespace {

// After this long without an answer the module line says that the device is silent.
constexpr int SILENCE_NOTICE_MS = 5000;

constexpr quint8 DEVICE_TYPE_TXU = 4;
constexpr quint8 DEVICE_TYPE_RXU = 8;

} // namespace

UpdateEngine::UpdateEngine(QSerialPort *port, QObject *parent)
    : QObject(parent)
    , m_port(port)
    , m_notice_ms(SILENCE_NOTICE_MS)
{
    qRegisterMetaType<UpdateVersions>();
    m_silence.setSingleShot(true);
    connect(&m_silence, &QTimer::timeout, this, &UpdateEngine::check_silence);
    // An acknowledgement that nothing follows may wait for the line to go quiet.
    connect(&m_frames, &FrameReader::quiet, this, &UpdateEngine::read_port);
}

void UpdateEngine::set_silence_limits(int notice_ms, int give_up_ms)
{
    m_notice_ms = notice_ms;
    m_give_up_ms = give_up_ms;
}

void UpdateEngine::start_update(std::shared_ptr<FirmwarePackage> package, bool check_only)
{
    if (running())
        return;
    m_package = std::move(package);
    m_mode = check_only ? Mode::Check : Mode::Package;
    m_versions = UpdateVersions();
    m_image.clear();
    m_dsp_image.clear();
    m_stage = Stage::Querying;
    send(build_frame(CMD_DEVICE_TYPE, UNIT_DSP));
}

void UpdateEngine::start_raw(const QString &path, quint8 unit)
{
    if (running())
        return;
    m_mode = Mode::Raw;
    m_image.clear();
    FirmwareImage raw;
    QString error;
    if (!raw.load(path, &error)) {
        fail(Failure::Image, error);
        return;
    }
    start_raw(raw, unit);
}

void UpdateEngine::start_raw(const FirmwareImage &image, quint8 unit)
{
    if (running())
        return;
    m_mode = Mode::Raw;
    start_image(image, unit, unit == UNIT_WLAN ? UPDATING_WLAN_TEXT : UPDATING_DSP_TEXT);
}

void UpdateEngine::cancel()
{
    if (running())
        end();
}

void UpdateEngine::read_port()
{
    m_frames.read_from(m_port);
    // A face may open a modal box on a signal; its event loop calls this
    // again. Frames taken one at a time stay in order.
    QByteArray frame;
    while (m_frames.take(&frame))
        handle_reply(frame);
}

void UpdateEngine::port_error(QSerialPort::SerialPortError error)
{
    // Every successful open reports NoError, and a closed port has nothing
    // more to lose.
    if (error == QSerialPort::NoError || !m_port->isOpen())
        return;
    // Close first: a failing port reports its error again and again until it
    // is closed.
    const QString reason = m_port->errorString();
    const bool mid_update = running();
    m_port->close();
    m_frames.clear();
    end();
    emit link_lost(reason, mid_update);
}

void UpdateEngine::handle_reply(const QByteArray &frame)
{
    const quint8 code = frame_code(frame);
    const quint8 unit = frame_unit(frame);

    // The device's type and versions matter only while they are asked for.
    if (code == RPL_DEVICE_TYPE || code == RPL_VERSION) {
        if (m_mode == Mode::Raw || m_stage != Stage::Querying)
            return;
        restore_module();
        if (code == RPL_DEVICE_TYPE) {
            const quint8 type = frame_u8(frame, 8);
            if (type == DEVICE_TYPE_TXU)
                m_versions.device_type = QStringLiteral("TXU");
            else if (type == DEVICE_TYPE_RXU)
                m_versions.device_type = QStringLiteral("RXU");
            send(build_frame(CMD_VERSION, UNIT_WLAN));
        } else if (unit == UNIT_WLAN) {
            m_versions.device.wlan_version = frame_u16(frame, 8);
            send(build_frame(CMD_VERSION, UNIT_DSP));
        } else {
            m_versions.device.dsp_minor = frame_u8(frame, 8);
            m_versions.device.dsp_major = frame_u8(frame, 9);
            check_and_start();
        }
        return;
    }
    if (code == RPL_FW_ACK) {
        handle_acknowledgement(unit, frame_u16(frame, 8));
        return;
    }
    if (code == RPL_FW_DONE && m_stage == Stage::Finishing) {
        end();
        m_module.clear();
        show(QString());
        emit completed();
    }
}

void UpdateEngine::handle_acknowledgement(quint8 unit, quint16 sequence)
{
    // Only the acknowledgement of the chunk in flight moves the transfer on; a
    // repeated or stray one would otherwise send a chunk twice.
    if (m_stage != Stage::Sending || unit != m_unit || sequence != m_in_flight)
        return;
    restore_module();

    if (sequence != LAST_CHUNK) {
        send_chunk(quint16(sequence + 1));
        // Reported once the next chunk is on its way: whatever a face does
        // with it (a repaint) then overlaps the device's turn.
        if (m_stage == Stage::Sending) {
            const qint64 done = qint64(sequence) * CHUNK_SIZE;
            m_time_left.update(done, m_clock.elapsed());
            emit progress(done, m_image.size(), m_time_left.seconds_left());
        }
        return;
    }
    emit image_done(unit, m_image.size());
    if (m_stage != Stage::Sending)
        return;
    if (unit != UNIT_WLAN) {
        m_stage = Stage::Finishing;
        send(build_frame(CMD_FW_FINISH, unit));
        return;
    }
    if (m_mode == Mode::Raw) {
        // A WLAN image needs no finish: its last acknowledgement completes it.
        end();
        m_module.clear();
        show(QString());
        emit completed();
        return;
    }
    const FirmwareImage dsp = m_dsp_image;
    m_dsp_image.clear();
    start_image(dsp, UNIT_DSP, UPDATING_DSP_TEXT);
}

void UpdateEngine::check_and_start()
{
    static const Manifest no_manifest;
    const Manifest &manifest = m_package ? m_package->manifest() : no_manifest;
    m_versions.package_name = manifest.name;
    m_versions.package_wlan = manifest.wlan_version;
    m_versions.package_dsp = manifest.dsp_version_for(m_versions.device_type);
    emit versions_known(m_versions);
    if (m_stage != Stage::Querying)
        return;

    if (!m_package || !package_fits(m_versions.device, m_versions.package_wlan, m_versions.package_dsp)) {
        end();
        emit refused(m_versions);
        return;
    }
    // Both images are read and checked before the first chunk: a device is
    // never left with a new WLAN image and no DSP image to go with it.
    const QString dsp_file = dsp_image_file(m_versions.device_type);
    if (dsp_file.isEmpty()) {
        fail(Failure::Device, tr("The device did not report a type that the package has a DSP image for."));
        return;
    }
    FirmwareImage wlan;
    QString error;
    if (!m_package->image(WLAN_IMAGE_FILE, &wlan, &error) || !m_package->image(dsp_file, &m_dsp_image, &error)) {
        fail(Failure::Image, error);
        return;
    }
    if (m_mode == Mode::Check) {
        end();
        emit check_passed();
        return;
    }
    start_image(wlan, UNIT_WLAN, UPDATING_WLAN_TEXT);
}

void UpdateEngine::start_image(const FirmwareImage &next, quint8 unit, const QString &module)
{
    m_image = next;
    m_unit = unit;
    m_stage = Stage::Sending;
    m_module = module;
    m_notice_shown = false;
    show(module);
    m_clock.start();
    m_time_left.start(m_image.size(), 0);
    emit image_started(unit, m_image.size());
    if (m_stage == Stage::Sending)
        send_chunk(0);
}

void UpdateEngine::send(const QByteArray &frame)
{
    m_since_sent.start();
    if (!m_silence.isActive())
        arm_silence(0);
    if (!m_port->isOpen())
        return;
    m_port->write(frame);
    // Out now, not when the event loop next looks at the port: a face's
    // pending repaint would otherwise come first.
    m_port->flush();
}

void UpdateEngine::send_chunk(quint16 sequence)
{
    m_in_flight = is_last_chunk(m_image.size(), sequence) ? LAST_CHUNK : sequence;
    send(m_image.chunk_frame(m_unit, sequence));
}

void UpdateEngine::end()
{
    m_stage = Stage::Ended;
    m_silence.stop();
    m_notice_shown = false;
    m_image.clear();
    m_dsp_image.clear();
}

void UpdateEngine::fail(Failure failure, const QString &text)
{
    end();
    emit failed(failure, text);
}

void UpdateEngine::show(const QString &text)
{
    if (text == m_shown)
        return;
    m_shown = text;
    emit module_changed(text);
}

void UpdateEngine::restore_module()
{
    if (!m_notice_shown)
        return;
    m_notice_shown = false;
    show(m_module);
}

void UpdateEngine::check_silence()
{
    if (!running())
        return;
    const qint64 quiet = m_since_sent.elapsed();
    if (m_give_up_ms > 0 && quiet >= m_give_up_ms) {
        fail(Failure::Silence, tr("The device has not answered for %1 seconds: the update is not complete.")
                                   .arg(m_give_up_ms / 1000));
        return;
    }
    if (quiet >= m_notice_ms && !m_notice_shown) {
        m_notice_shown = true;
        // The images are all out; only the device's confirmation is awaited.
        if (m_stage == Stage::Finishing)
            show(FINISHING_TEXT);
        else
            show((m_module.isEmpty() ? QString() : m_module + QLatin1Char(' '))
                 + tr("The device has not answered for %1 seconds; the update is not complete. "
                      "Waiting for the device...")
                       .arg(m_notice_ms / 1000));
    }
    arm_silence(quiet);
}

void UpdateEngine::arm_silence(qint64 quiet)
{
    // The next moment to look: the notice, unless shown, and the give-up time.
    qint64 next = m_notice_shown || quiet >= m_notice_ms ? -1 : m_notice_ms;
    if (m_give_up_ms > 0 && m_give_up_ms > quiet && (next < 0 || m_give_up_ms < next))
        next = m_give_up_ms;
    if (next >= 0)
        m_silence.start(int(next - quiet));
}
