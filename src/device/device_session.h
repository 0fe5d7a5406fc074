#pragma once

#include "device_state.h"
#include "frame_reader.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <memory>

class ReportLog;
enum class LinkEvent : quint8;

// One device on one serial port, without widgets: opens and configures the
// port, asks for the device's status, reads and decodes its frames into a
// DeviceState, sends its commands (mute and gain behind a one-second guard),
// tells when the port fails, and records the link's history from the moment
// the port opens. Views (the main window, the overview of all devices) read
// the state and follow the signals; none of them talks to the port.
//
// Every signal is emitted synchronously from the call that caused it, so a
// view that decodes a frame through decode() has updated itself when the
// call returns.
class DeviceSession : public QObject
{
    Q_OBJECT

public:
    // A status request follows an open after this long.
    static constexpr int STATUS_DELAY_MS = 10;
    // The status request goes out again when no device information has come
    // after this long, up to STATUS_ASKS times in all: a single reply lost
    // on the line would leave the device unknown.
    static constexpr int STATUS_AGAIN_MS = 1000;
    static constexpr int STATUS_ASKS = 4;
    // Mute and gain presses within this time of an accepted press are dropped.
    static constexpr int MUTE_GAIN_GUARD_MS = 1000;
    // Signal levels are no longer live this long after the last report while
    // reports are asked for.
    static constexpr int LEVELS_STALE_MS = 2000;

    explicit DeviceSession(QObject *parent = nullptr);
    ~DeviceSession() override;

    QSerialPort *port() { return &m_port; }
    // The port last opened (kept after it is closed or lost).
    QString port_name() const { return m_port_name; }
    bool is_open() const { return m_port.isOpen(); }
    // The port failed (a pulled cable) since it was last opened.
    bool port_lost() const { return m_port_lost; }
    const DeviceState &state() const { return m_state; }

    // The link's history; owned elsewhere, shared by the views.
    void set_history(ReportLog *history) { m_history = history; }
    ReportLog *history() const { return m_history; }

    // Opens `name` for reading and writing and applies 8N1 at 115200 baud; the
    // status request follows. On failure the port stays closed and *error has
    // the port's own description (and what to do where it is not enough).
    bool open(const QString &name, QString *error);
    // Breaks the link: closes the port and forgets what the device reported
    // (the sniffer mode stays). reset() follows. `lost`: the port failed
    // (while another part of the program had it).
    void close(bool lost = false);
    // Ends the mute and gain guard now.
    void end_guard() { m_guard = false; }

    // One request frame to the device; never waits for an answer. A request
    // to a closed port is lost.
    void send_command(quint8 code, quint8 unit, int argument);
    // Mute (or unmute, as the device last reported) and gain, behind the
    // one-second guard; false when the press was dropped.
    bool press_mute();
    bool press_gain(bool up);
    bool guard_active() const { return m_guard; }
    // Sends a channel request unless `channel` is the one last reported or asked for.
    void choose_channel(quint8 channel);
    // Signal-strength reports on or off (report mode 1 or 0).
    void set_signal_reports(bool on);
    void start_sniffer(quint8 mode);
    void stop_sniffer();

    // While another part of the program (the firmware dialog) has the port,
    // the session neither reads nor answers for it.
    void suspend();
    // Takes the port back; what was left of the byte stream is not decoded.
    // A device whose status is not known yet is asked for it again.
    void resume();
    bool suspended() const { return m_suspended; }

    // The device's firmware versions, as it reported them to the firmware
    // update; firmware_known() follows.
    void set_firmware(quint16 wlan_version, quint8 dsp_major, quint8 dsp_minor);

    // Decodes one frame as if it came from the device.
    void decode(const QByteArray &frame);

    // The port's notifications.
    void read_port();
    void port_error(QSerialPort::SerialPortError error);
    // The status request (10 ms after an open). What waits on the port
    // before it goes out is dropped: it predates the request.
    void ask_status();

signals:
    // The port is open; the status request follows.
    void opened();
    // The link was broken, by close() or by a failing port (`lost`): what the
    // device reported is forgotten.
    void reset(bool lost);
    // The port failed and was closed; `reason` is its own description.
    void port_failed(const QString &reason);
    // A reply was decoded into the state (every reply, known or not).
    void reply(quint8 code, const QByteArray &frame);
    // The signal levels are no longer live: no report for a while, or the
    // reports were switched off or replaced by the sniffer's.
    void levels_stale();
    // The device's firmware versions are known anew (set_firmware()).
    void firmware_known();
    // The report mode asked for changed.
    void report_mode_changed(quint8 mode);
    // Frames are decoded in batches, one per read of the port.
    void batch_started();
    void batch_ended();

private:
    qint64 history_time();
    void record(LinkEvent event, int value);
    void record_reply(const QByteArray &frame);
    void ask_status_again();
    // Drops the bytes waiting on the port.
    void drop_waiting_bytes();
    void check_levels();
    void levels_not_live();
    void attach_port();
    void detach_port();
    // Closes the port without a word; forget() then clears what the device reported.
    void release_port();
    void forget(bool lost);

    QSerialPort m_port;
    QString m_port_name;
    bool m_port_lost = false;
    bool m_attached = false;
    bool m_suspended = false;
    bool m_decoding = false;
    FrameReader m_frames;
    DeviceState m_state;
    ReportLog *m_history = nullptr;

    bool m_guard = false;
    QTimer m_status_again;
    int m_status_asks = 0;
    QTimer m_levels_timer;
    QElapsedTimer m_since_levels;
};
