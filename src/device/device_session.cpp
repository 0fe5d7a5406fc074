#include "device_session.h"

#include "frame.h"
#include "history_clock.h"
#include "port_access.h"
#include "report_fields.h"
#include "report_log.h"
#include "serial_settings.h"

DeviceSession::DeviceSession(QObject *parent)
    : QObject(parent)
{
    // A reply that nothing follows may wait for the line to go quiet.
    connect(&m_frames, &FrameReader::quiet, this, &DeviceSession::read_port);
    m_status_again.setSingleShot(true);
    m_status_again.setInterval(STATUS_AGAIN_MS);
    connect(&m_status_again, &QTimer::timeout, this, &DeviceSession::ask_status_again);
    m_levels_timer.setSingleShot(true);
    connect(&m_levels_timer, &QTimer::timeout, this, &DeviceSession::check_levels);
}

DeviceSession::~DeviceSession()
{
    detach_port();
    if (m_port.isOpen())
        m_port.close();
}

bool DeviceSession::open(const QString &name, QString *error)
{
    if (m_port.isOpen())
        close();
    m_port.setPortName(name);
    if (!m_port.open(QIODevice::ReadWrite)) {
        // The port's own words, which port it was, and what to do where they
        // are not enough.
        *error = m_port.errorString() + QStringLiteral("\n\n") + tr("Could not open the serial port %1.").arg(name);
        const QString advice = open_failure_advice(m_port);
        if (!advice.isEmpty())
            *error += QStringLiteral("\n\n") + advice;
        return false;
    }
    if (!configure_serial_port(m_port)) {
        *error = m_port.errorString() + QStringLiteral("\n\n") + tr("Could not set up the serial port %1.").arg(name);
        m_port.close();
        return false;
    }
    m_port_name = name;
    m_port_lost = false;
    m_frames.clear();
    record(LinkEvent::Connection, CONNECTION_OPEN);
    connect(&m_port, &QSerialPort::errorOccurred, this, &DeviceSession::port_error, Qt::UniqueConnection);
    // The request goes out shortly, whatever happens meanwhile: an open that
    // follows at once finds its status request on its way.
    QTimer::singleShot(STATUS_DELAY_MS, this, &DeviceSession::ask_status);
    emit opened();
    return true;
}

void DeviceSession::close(bool lost)
{
    // A port that another part of the program lost is closed already.
    if (lost || m_port.isOpen())
        record(LinkEvent::Connection, lost ? CONNECTION_PORT_LOST : CONNECTION_CLOSED);
    if (lost)
        m_port_lost = true;
    release_port();
    forget(lost);
}

void DeviceSession::release_port()
{
    detach_port();
    disconnect(&m_port, &QSerialPort::errorOccurred, this, &DeviceSession::port_error);
    if (m_port.isOpen())
        m_port.close();
    m_suspended = false;
    m_frames.clear();
}

void DeviceSession::forget(bool lost)
{
    m_status_again.stop();
    m_levels_timer.stop();
    const quint8 sniff_mode = m_state.sniff_mode;
    m_state = DeviceState();
    m_state.sniff_mode = sniff_mode;
    m_guard = false;
    emit reset(lost);
}

void DeviceSession::attach_port()
{
    connect(&m_port, &QSerialPort::readyRead, this, &DeviceSession::read_port, Qt::UniqueConnection);
    m_attached = true;
}

void DeviceSession::detach_port()
{
    disconnect(&m_port, &QSerialPort::readyRead, this, &DeviceSession::read_port);
    m_attached = false;
}

void DeviceSession::ask_status()
{
    if (m_suspended)
        return;
    // Whatever waits on the port now came before the request: reports that
    // the device kept sending to a port nobody read (an earlier program asked
    // for them), or the rest of a stream cut off. Read now, they would all
    // count as just received, at one moment.
    drop_waiting_bytes();
    attach_port();
    send_command(CMD_STATUS, UNIT_WLAN, 0);
    m_status_asks = 1;
    if (m_port.isOpen())
        m_status_again.start();
}

void DeviceSession::drop_waiting_bytes()
{
    // Both what the port has read and what the system holds for it.
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
    m_frames.clear();
}

void DeviceSession::ask_status_again()
{
    if (!m_port.isOpen() || m_suspended || m_state.info_known || m_status_asks >= STATUS_ASKS)
        return;
    ++m_status_asks;
    send_command(CMD_STATUS, UNIT_WLAN, 0);
    m_status_again.start();
}

void DeviceSession::send_command(quint8 code, quint8 unit, int argument)
{
    if (!m_port.isOpen())
        return;
    m_port.write(build_command_frame(code, unit, argument));
    if (code != CMD_REPORT_MODE)
        return;
    const quint8 mode = quint8(argument);
    const bool was_signal = m_state.report_mode == REPORT_SIGNAL;
    m_state.report_mode = mode;
    record(LinkEvent::ReportMode, mode);
    if (was_signal && mode != REPORT_SIGNAL)
        levels_not_live();
    emit report_mode_changed(mode);
}

bool DeviceSession::press_mute()
{
    if (m_guard)
        return false;
    send_command(m_state.muted ? CMD_UNMUTE : CMD_MUTE, UNIT_DSP, 0);
    m_guard = true;
    QTimer::singleShot(MUTE_GAIN_GUARD_MS, this, [this] { m_guard = false; });
    return true;
}

bool DeviceSession::press_gain(bool up)
{
    if (m_guard)
        return false;
    send_command(CMD_GAIN, UNIT_DSP, up ? 1 : 0);
    m_guard = true;
    QTimer::singleShot(MUTE_GAIN_GUARD_MS, this, [this] { m_guard = false; });
    return true;
}

void DeviceSession::choose_channel(quint8 channel)
{
    if (channel == m_state.rf_channel)
        return;
    send_command(CMD_SET_CHANNEL, UNIT_WLAN, channel);
    m_state.rf_channel = channel;
}

void DeviceSession::set_signal_reports(bool on)
{
    send_command(CMD_REPORT_MODE, UNIT_WLAN, on ? REPORT_SIGNAL : REPORT_OFF);
}

void DeviceSession::start_sniffer(quint8 mode)
{
    m_state.sniff_mode = mode;
    send_command(CMD_REPORT_MODE, UNIT_WLAN, mode);
}

void DeviceSession::stop_sniffer()
{
    send_command(CMD_REPORT_MODE, UNIT_WLAN, REPORT_OFF);
}

void DeviceSession::suspend()
{
    detach_port();
    disconnect(&m_port, &QSerialPort::errorOccurred, this, &DeviceSession::port_error);
    m_frames.clear();
    m_suspended = true;
}

void DeviceSession::resume()
{
    m_suspended = false;
    m_frames.clear();
    if (!m_port.isOpen())
        return;
    connect(&m_port, &QSerialPort::errorOccurred, this, &DeviceSession::port_error, Qt::UniqueConnection);
    attach_port();
    // A status that never came (the request was held back, or its answer
    // went to whoever had the port) is asked for again, as on connecting.
    if (!m_state.info_known)
        ask_status();
}

void DeviceSession::set_firmware(quint16 wlan_version, quint8 dsp_major, quint8 dsp_minor)
{
    m_state.wlan_known = true;
    m_state.wlan_version = wlan_version;
    m_state.dsp_known = true;
    m_state.dsp_major = dsp_major;
    m_state.dsp_minor = dsp_minor;
    emit firmware_known();
}

void DeviceSession::read_port()
{
    if (m_suspended)
        return;
    m_frames.read_from(&m_port);
    const bool outermost = !m_decoding;
    if (outermost) {
        m_decoding = true;
        emit batch_started();
    }
    // A view may open a modal box on a reply, whose event loop delivers more
    // bytes or a port error; taking frames one at a time keeps them in order
    // and stops as soon as a reset has emptied the buffer.
    QByteArray frame;
    while (m_frames.take(&frame))
        decode(frame);
    if (outermost) {
        m_decoding = false;
        emit batch_ended();
    }
}

void DeviceSession::decode(const QByteArray &frame)
{
    const quint8 code = frame_code(frame);
    const bool taken = decode_reply(frame, &m_state);
    if (code == RPL_DEVICE_INFO)
        m_status_again.stop();
    // Levels that stop coming go stale: also those of a report that was on
    // its way when the reports were switched off or the sniffer took over,
    // which would otherwise stay as if live.
    if (code == RPL_SIGNAL && taken) {
        m_since_levels.start();
        if (!m_levels_timer.isActive())
            m_levels_timer.start(LEVELS_STALE_MS);
    }
    record_reply(frame);
    emit reply(code, frame);
    // A master is asked for its channel once it has been shown as a master.
    if (code == RPL_DEVICE_INFO && m_state.role == 0)
        send_command(CMD_MASTER_INFO, UNIT_WLAN, 0);
}

void DeviceSession::port_error(QSerialPort::SerialPortError error)
{
    // Every successful open reports NoError; that is not a failure, and a
    // closed port has nothing more to lose.
    if (error == QSerialPort::NoError || !m_port.isOpen())
        return;
    // A failing port keeps reporting errors until it is closed: end the link
    // first, then tell.
    const QString reason = m_port.errorString();
    record(LinkEvent::Connection, CONNECTION_PORT_LOST);
    release_port();
    m_port_lost = true;
    forget(true);
    emit port_failed(reason);
}

void DeviceSession::check_levels()
{
    if (!m_state.levels_live)
        return;
    const qint64 since = m_since_levels.elapsed();
    if (since < LEVELS_STALE_MS) {
        m_levels_timer.start(int(LEVELS_STALE_MS - since));
        return;
    }
    levels_not_live();
}

void DeviceSession::levels_not_live()
{
    m_levels_timer.stop();
    if (!m_state.levels_live)
        return;
    m_state.levels_live = false;
    m_state.level_a = SIGNAL_NO_READING;
    m_state.level_b = SIGNAL_NO_READING;
    emit levels_stale();
}

// The history's clock: its time line, and the wall clock's offset from it,
// which the log notes when it moves (the clock was set).
qint64 DeviceSession::history_time()
{
    const HistoryTime time = history_now();
    m_history->follow_wall_clock(time);
    return time.ms;
}

void DeviceSession::record(LinkEvent event, int value)
{
    if (m_history)
        m_history->add_event(history_time(), event, value);
}

void DeviceSession::record_reply(const QByteArray &frame)
{
    if (!m_history)
        return;
    const qint64 now = history_time();
    switch (frame_code(frame)) {
    case RPL_SIGNAL:
        // Every report the device sends counts, also one in flight when the
        // reports were switched off; a TXU's levels do not.
        if (!has_signal_strength(m_state))
            break;
        m_history->add_signal(now, frame_s16(frame, 8), frame_s16(frame, 10));
        break;
    case RPL_SNIFF:
        m_history->add_sniff(now, sniff_fields(frame));
        break;
    case RPL_LINK_STATE:
        m_history->add_event(now, LinkEvent::LinkState, m_state.link_state);
        break;
    case RPL_DEVICE_INFO:
        m_history->add_event(now, LinkEvent::RepeaterMode, m_state.rep_mode ? 1 : 0);
        m_history->add_event(now, LinkEvent::LinkState, m_state.link_state);
        break;
    default:
        break;
    }
}
