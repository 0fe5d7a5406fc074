#include "update_engine.h"

#include "frame.h"

#include <QCoreApplication>

namespace {

// The length byte (the code and its arguments) of each reply of the transfer.
bool transfer_reply_length_fits(quint8 code, quint8 length)
{
    switch (code) {
    case RPL_DEVICE_TYPE:
        return length == 2;  // the type code
    case RPL_VERSION:
    case RPL_FW_ACK:
        return length == 3;  // a version, or the sequence number acknowledged
    case RPL_FW_DONE:
        return length == 1;  // nothing more
    default:
        return true;
    }
}

// After this long without an answer the engine tells that the device is silent.
constexpr int SILENCE_NOTICE_MS = 5000;

// A manifest value in a sentence: trimmed, control characters shown as "?".
QString value_words(const QByteArray &value)
{
    QString text = manifest_text(value).trimmed();
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return text;
}

constexpr quint8 DEVICE_TYPE_TXU = 4;
constexpr quint8 DEVICE_TYPE_RXU = 8;

} // namespace

QString misfit_reason(const UpdateVersions &v)
{
    const bool wlan_newer = package_wlan_version(v.package_wlan) < v.device.wlan_version;
    switch (package_misfit(v.device, v.package_wlan, v.package_dsp)) {
    case PackageMisfit::None:
        break;
    case PackageMisfit::DeviceWlanOutOfRange:
        return wlan_newer ? UpdateEngine::tr("the device's WLAN is newer than the package's and outside 1600 to 1699")
                          : UpdateEngine::tr("the device's WLAN is outside 1600 to 1699");
    case PackageMisfit::DeviceWlanNewer:
        return UpdateEngine::tr("the device's WLAN is newer than the package's");
    case PackageMisfit::DspNotAVersion:
        return UpdateEngine::tr("the package's DSP version is not major.minor");
    case PackageMisfit::DspMajorDiffers:
        return UpdateEngine::tr("the DSP major versions differ");
    case PackageMisfit::DeviceDspMinorZero:
        return UpdateEngine::tr("a device DSP of minor version 0 is never updated");
    case PackageMisfit::DeviceDspNewer:
        return UpdateEngine::tr("the device's DSP is newer than the package's");
    }
    return UpdateEngine::tr("the package is not one for this device");
}

QString fits_text()
{
    return UpdateEngine::tr("The package fits the device.");
}

QString misfit_text(const UpdateVersions &v)
{
    return UpdateEngine::tr("The package does not fit the device (device WLAN %1, DSP %2.%3; package WLAN %4, DSP %5): %6")
        .arg(QString::number(v.device.wlan_version), QString::number(v.device.dsp_major),
             QString::number(v.device.dsp_minor), value_words(v.package_wlan), value_words(v.package_dsp),
             misfit_reason(v));
}

UpdateEngine::UpdateEngine(QSerialPort *port, QObject *parent)
    : QObject(parent)
    , m_port(port)
    , m_notice_ms(SILENCE_NOTICE_MS)
{
    qRegisterMetaType<UpdateVersions>();
    qRegisterMetaType<UpdateEngine::Notice>();
    qRegisterMetaType<UpdateEngine::Failure>();
    m_silence.setSingleShot(true);
    connect(&m_silence, &QTimer::timeout, this, &UpdateEngine::check_silence);
    m_ask_again.setSingleShot(true);
    m_ask_again.setInterval(ASK_AGAIN_MS);
    connect(&m_ask_again, &QTimer::timeout, this, &UpdateEngine::ask_again);
    m_damaged.setSingleShot(true);
    m_damaged.setInterval(DAMAGED_ANSWER_MS);
    connect(&m_damaged, &QTimer::timeout, this, &UpdateEngine::answer_damaged);
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
    m_data_sent = false;
    m_wlan_asked = 0;
    m_stage = Stage::Querying;
    ask(Question::Type);
}

void UpdateEngine::start_query()
{
    start_update(nullptr);
    if (running())
        m_mode = Mode::Query;
}

void UpdateEngine::ask(Question question)
{
    m_question = question;
    m_asked = 0;
    ask_again();
}

void UpdateEngine::ask_again()
{
    if (m_stage != Stage::Querying || m_asked >= ASKS)
        return;
    // The device's silence counts from the first time the question went
    // out: asking again moves neither the notice nor the give-up.
    const bool again = m_asked > 0;
    ++m_asked;
    switch (m_question) {
    case Question::Type:
        send(build_frame(CMD_DEVICE_TYPE, UNIT_DSP), !again);
        break;
    case Question::WlanVersion:
        send(build_frame(CMD_VERSION, UNIT_WLAN), !again);
        break;
    case Question::DspVersion:
        send(build_frame(CMD_VERSION, UNIT_DSP), !again);
        break;
    }
    m_ask_again.start();
}

void UpdateEngine::start_raw(const QString &path, quint8 unit)
{
    if (running())
        return;
    m_mode = Mode::Raw;
    m_image.clear();
    m_data_sent = false;
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
    m_data_sent = false;
    start_transfer(image.size());
    start_image(image, unit);
}

void UpdateEngine::cancel()
{
    if (running())
        end();
}

void UpdateEngine::read_port()
{
    if (m_port->bytesAvailable() > 0)
        ++m_reads;
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
    // A reply of the transfer has the length of its fields, no other: a
    // damaged report whose bytes moved (one that lost its code byte reads
    // as the device's confirmation) must not stand in for one.
    if (!transfer_reply_length_fits(code, frame_u8(frame, 3)))
        return;

    // The device's type and versions matter only while they are asked for,
    // each answer only to its own question: a late or repeated answer (a
    // question may have gone out more than once) moves nothing back.
    if (code == RPL_DEVICE_TYPE || code == RPL_VERSION) {
        if (m_mode == Mode::Raw || m_stage != Stage::Querying)
            return;
        const Question answered = code == RPL_DEVICE_TYPE ? Question::Type
            : unit == UNIT_WLAN                          ? Question::WlanVersion
                                                         : Question::DspVersion;
        if (answered != m_question)
            return;
        // A WLAN question asked more than once may still have an answer on
        // its way, which a damaged unit byte would pass off as the DSP's:
        // then only the DSP's own unit answers for it.
        if (answered == Question::DspVersion && m_wlan_asked > 1 && unit != UNIT_DSP)
            return;
        m_ask_again.stop();
        set_notice(Notice::None, 0);
        switch (answered) {
        case Question::Type: {
            const quint8 type = frame_u8(frame, 8);
            if (type == DEVICE_TYPE_TXU)
                m_versions.device_type = QStringLiteral("TXU");
            else if (type == DEVICE_TYPE_RXU)
                m_versions.device_type = QStringLiteral("RXU");
            ask(Question::WlanVersion);
            break;
        }
        case Question::WlanVersion:
            m_versions.device.wlan_version = frame_u16(frame, 8);
            m_wlan_asked = m_asked;
            ask(Question::DspVersion);
            break;
        case Question::DspVersion:
            m_versions.device.dsp_minor = frame_u8(frame, 8);
            m_versions.device.dsp_major = frame_u8(frame, 9);
            check_and_start();
            break;
        }
        return;
    }
    if (code == RPL_FW_ACK) {
        handle_acknowledgement(unit, frame_u16(frame, 8));
        return;
    }
    if (code == RPL_FW_DONE && m_stage == Stage::Finishing) {
        end();
        emit completed();
    }
}

void UpdateEngine::handle_acknowledgement(quint8 unit, quint16 sequence)
{
    if (m_stage != Stage::Sending)
        return;
    // Only the acknowledgement of the chunk in flight moves the transfer on; a
    // repeated or stray one would otherwise send a chunk twice. The one taken
    // last, again, is a repeat. Any other is the awaited one damaged on the
    // line, or a stray frame before it: if the awaited one does not follow
    // soon, it never will (the device waits for the next chunk). One read
    // with the acknowledgement last taken came before the chunk in flight
    // went out: it belongs to the chunk answered, not to this one.
    if (unit != m_unit || sequence != m_in_flight) {
        const bool repeat = unit == m_last_ack_unit && int(sequence) == m_last_ack;
        const bool before_chunk = m_reads == m_last_ack_read;
        if (!repeat && !before_chunk && !m_damaged.isActive())
            m_damaged.start();
        return;
    }
    m_damaged.stop();
    m_last_ack_unit = unit;
    m_last_ack = sequence;
    m_last_ack_read = m_reads;
    set_notice(Notice::None, 0);

    if (sequence != LAST_CHUNK) {
        send_chunk(quint16(sequence + 1));
        // Reported once the next chunk is on its way: whatever a face does
        // with it (a repaint) then overlaps the device's turn. Chunk s ends at
        // byte (s + 1) x 100, short of the image's end since it is not the last.
        if (m_stage == Stage::Sending)
            report_progress(qMin((qint64(sequence) + 1) * CHUNK_SIZE, m_image.size()));
        return;
    }
    report_progress(m_image.size());
    if (m_stage != Stage::Sending)
        return;
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
        emit completed();
        return;
    }
    m_done_before += m_image.size();
    const FirmwareImage dsp = m_dsp_image;
    m_dsp_image.clear();
    start_image(dsp, UNIT_DSP);
}

void UpdateEngine::report_progress(qint64 done)
{
    m_time_left.update(m_done_before + done, m_clock.elapsed());
    emit progress(done, m_image.size(), m_time_left.seconds_left());
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
    if (m_mode == Mode::Query) {
        end();
        emit queried();
        return;
    }

    if (!m_package || !package_fits(m_versions.device, m_versions.package_wlan, m_versions.package_dsp)) {
        end();
        emit refused(m_versions);
        return;
    }
    // Both images are read and checked before the first chunk: a device is
    // never left with a new WLAN image and no DSP image to go with it.
    const QString dsp_file = dsp_image_file(m_versions.device_type);
    if (dsp_file.isEmpty()) {
        fail(Failure::Device);
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
    start_transfer(wlan.size() + m_dsp_image.size());
    start_image(wlan, UNIT_WLAN);
}

void UpdateEngine::start_transfer(qint64 total_bytes)
{
    m_last_ack = -1;
    m_last_ack_read = -1;
    m_done_before = 0;
    m_clock.start();
    m_time_left.start(total_bytes, 0);
}

void UpdateEngine::start_image(const FirmwareImage &next, quint8 unit)
{
    m_image = next;
    m_unit = unit;
    m_chunks = int(qMax<qint64>(1, (m_image.size() + CHUNK_SIZE - 1) / CHUNK_SIZE));
    m_stage = Stage::Sending;
    set_notice(Notice::None, 0);
    emit image_started(unit, m_image.size());
    if (m_stage == Stage::Sending)
        send_chunk(0);
}

void UpdateEngine::send(const QByteArray &frame, bool restarts_silence)
{
    if (restarts_silence) {
        m_since_sent.start();
        if (!m_silence.isActive())
            arm_silence(0);
    }
    if (!m_port->isOpen())
        return;
    m_port->write(frame);
    // Out now, not when the event loop next looks at the port: a face's
    // pending repaint would otherwise come first.
    m_port->flush();
}

void UpdateEngine::send_chunk(quint16 sequence)
{
    m_chunk = sequence;
    m_in_flight = is_last_chunk(m_image.size(), sequence) ? LAST_CHUNK : sequence;
    m_data_sent = true;
    send(m_image.chunk_frame(m_unit, sequence));
}

void UpdateEngine::answer_damaged()
{
    if (m_stage == Stage::Sending)
        fail(Failure::Damaged);
}

int UpdateEngine::chunk_in_flight() const
{
    return m_chunk;
}

int UpdateEngine::chunks_in_image() const
{
    return m_chunks;
}

void UpdateEngine::end()
{
    m_stage = Stage::Ended;
    m_silence.stop();
    m_ask_again.stop();
    m_damaged.stop();
    m_notice = Notice::None;
    m_image.clear();
    m_dsp_image.clear();
}

void UpdateEngine::fail(Failure failure, const QString &detail)
{
    end();
    emit failed(failure, detail);
}

void UpdateEngine::set_notice(Notice notice, int silent_seconds)
{
    if (notice == m_notice)
        return;
    // The device answered after a notice: the timer still waits for the old
    // give-up moment; the next frame sent arms it afresh, so that the next
    // silence is noticed in time.
    if (notice == Notice::None)
        m_silence.stop();
    m_notice = notice;
    emit notice_changed(notice, silent_seconds);
}

void UpdateEngine::check_silence()
{
    if (!running())
        return;
    const qint64 quiet = m_since_sent.elapsed();
    if (m_give_up_ms > 0 && quiet >= m_give_up_ms) {
        fail(Failure::Silence);
        return;
    }
    if (quiet >= m_notice_ms && m_notice == Notice::None) {
        // Once the images are all out, only the device's confirmation is awaited.
        set_notice(m_stage == Stage::Finishing ? Notice::Finishing : Notice::Silent, m_notice_ms / 1000);
        if (!running())
            return;
    }
    arm_silence(quiet);
}

void UpdateEngine::arm_silence(qint64 quiet)
{
    // The next moment to look: the notice, unless shown, and the give-up time.
    qint64 next = m_notice != Notice::None || quiet >= m_notice_ms ? -1 : m_notice_ms;
    if (m_give_up_ms > 0 && m_give_up_ms > quiet && (next < 0 || m_give_up_ms < next))
        next = m_give_up_ms;
    if (next >= 0)
        m_silence.start(int(next - quiet));
}
