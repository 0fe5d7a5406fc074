#pragma once

#include "firmware_package.h"
#include "frame_reader.h"
#include "image_chunks.h"
#include "transfer_progress.h"

#include <QElapsedTimer>
#include <QMetaType>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include <memory>

// What the device and the package say of their versions, values as stored.
struct UpdateVersions
{
    QString device_type;  // "TXU", "RXU", or empty when the type code is not known
    DeviceFirmware device;
    QByteArray package_name;
    QByteArray package_wlan;
    QByteArray package_dsp;  // the line for the device's type
};
Q_DECLARE_METATYPE(UpdateVersions)

// Why the package does not fit, saying which side's version is newer where
// one is: "the device's WLAN is newer than the package's".
QString misfit_reason(const UpdateVersions &versions);

// What tvc-update --check and the firmware dialog say of a package and a
// device: "The package fits the device.", or "The package does not fit the
// device (device WLAN 1650, DSP 3.12; package WLAN 1660, DSP 3.11): the
// device's DSP is newer than the package's" (no full stop: the face ends the
// sentence with what follows from it).
QString fits_text();
QString misfit_text(const UpdateVersions &versions);

// Runs one firmware update on an open serial port, stop and wait: every frame
// it sends waits for the device's reply, and each reply releases the next.
//
// A package update asks for the device's type and its two versions, checks
// them against the manifest, reads and checks the WLAN image and the DSP image
// for the type, sends them in that order and finishes. A raw update sends one
// image to one unit without asking or checking anything.
//
// The engine owns no port: its face opens it, connects the port's readyRead
// to read_port() and errorOccurred to port_error(), and shows what the
// signals report. The signals carry values (stages, units, notices, byte
// counts), never texts to show: each face words them its own way. The engine
// keeps no global state, so any number of engines may run side by side,
// sharing a package.
class UpdateEngine : public QObject
{
    Q_OBJECT

public:
    enum class Stage
    {
        Idle,       // nothing started, or a raw image may start again
        Querying,   // asking the device for its type and versions
        Sending,    // an image chunk is waiting for its acknowledgement
        Finishing,  // the images are out, waiting for the device to confirm the finish
        Ended       // completed, refused, stopped by an error, a lost link or cancel()
    };
    enum class Failure
    {
        Image,    // an image is missing, not a regular file, too large or changed while read
        Device,   // the device reported a type the package has no DSP image for
        Silence,  // the device stayed silent past the give-up time
        Damaged   // the answer to the chunk in flight came damaged (another chunk or unit), and no other followed

    };
    Q_ENUM(Failure)
    // What the device's silence means for the user while the engine waits.
    enum class Notice
    {
        None,      // the device answers
        Silent,    // no answer for a while: the update (or the query) is held up
        Finishing  // the images are all out; the device takes its time to finish
    };
    Q_ENUM(Notice)

    // How long the device may stay silent before an update gives up.
    static constexpr int GIVE_UP_MS = 30000;
    // A question about the device's type or versions that has no answer after
    // this long is asked again, up to ASKS times in all: asking costs the
    // device nothing, and a reply lost on the line would otherwise hold the
    // update up until the give-up time.
    static constexpr int ASK_AGAIN_MS = 1000;
    static constexpr int ASKS = 4;
    // After an acknowledgement of another chunk or unit than the one in
    // flight, the right one may still follow (a stray or damaged frame came
    // first); after this long it will not.
    static constexpr int DAMAGED_ANSWER_MS = 1000;

    explicit UpdateEngine(QSerialPort *port, QObject *parent = nullptr);

    // A package update; with `check_only` it ends after the check (and the
    // images needed have been read), having sent no image data.
    void start_update(std::shared_ptr<FirmwarePackage> package, bool check_only = false);
    // Only asks the device for its type and versions: versions_known, then
    // queried() once the engine has ended. Nothing is sent to the device's
    // firmware.
    void start_query();
    // Sends the image `path` to `unit` (UNIT_WLAN or UNIT_DSP). While an
    // update runs, nothing new starts: the device expects the next chunk of
    // the image it is getting, and a first chunk would be taken for it.
    void start_raw(const QString &path, quint8 unit);
    // The same with an image already read (engines may share it).
    void start_raw(const FirmwareImage &image, quint8 unit);
    // Stops at once: no further frame goes out.
    void cancel();

    // After `notice_ms` without an answer a notice is raised; after
    // `give_up_ms` (0: never; GIVE_UP_MS unless set) the update fails.
    void set_silence_limits(int notice_ms, int give_up_ms);

    Stage stage() const { return m_stage; }
    bool running() const { return m_stage != Stage::Idle && m_stage != Stage::Ended; }
    // The unit of the image being sent (or finished), while there is one.
    quint8 unit() const { return m_unit; }
    Notice notice() const { return m_notice; }
    // Whether image data went out since the update started: until then a
    // failure leaves the device as it was.
    bool data_sent() const { return m_data_sent; }
    // The chunk of the image in flight (0 for the first), and the image's
    // number of chunks: what a Damaged failure is about.
    int chunk_in_flight() const;
    int chunks_in_image() const;
    // The seconds the whole update still needs (every image), -1 while that
    // is not known.
    qint64 seconds_left() const { return m_time_left.seconds_left(); }

    // The port's notifications.
    void read_port();
    void port_error(QSerialPort::SerialPortError error);

signals:
    // The device has been silent for `silent_seconds` (Silent, Finishing), or
    // answers again (None).
    void notice_changed(UpdateEngine::Notice notice, int silent_seconds);
    // The device's type and versions are known; the check follows at once.
    void versions_known(const UpdateVersions &versions);
    // An image goes out to `unit`: its first chunk is on its way.
    void image_started(quint8 unit, qint64 size);
    // The image being sent: the bytes the device has acknowledged, the
    // image's size, and the seconds the whole update still needs (every
    // image; -1 while that is not known). Reported on each acknowledgement,
    // once the next chunk is on its way; the last one reports the whole image.
    void progress(qint64 done, qint64 total, qint64 seconds_left);
    // The device has acknowledged the image's last chunk.
    void image_done(quint8 unit, qint64 size);
    // The package does not fit the device; nothing was sent.
    void refused(const UpdateVersions &versions);
    // The package fits the device and has the images it needs (check only).
    void check_passed();
    // A query has its answers (start_query()); the engine has ended.
    void queried();
    // The update stopped. For an Image failure `detail` names the file and
    // says what is wrong with it; it is empty otherwise.
    void failed(UpdateEngine::Failure failure, const QString &detail);
    // The port failed and was closed; `reason` is the port's own description.
    // `mid_update` tells whether an update was running.
    void link_lost(const QString &reason, bool mid_update);
    // The device has confirmed the whole update.
    void completed();

private:
    enum class Mode { Package, Check, Query, Raw };
    // The question the device is being asked while the stage is Querying.
    enum class Question { Type, WlanVersion, DspVersion };

    void handle_reply(const QByteArray &frame);
    void handle_acknowledgement(quint8 unit, quint16 sequence);
    void check_and_start();
    void start_transfer(qint64 total_bytes);
    void start_image(const FirmwareImage &next, quint8 unit);
    void report_progress(qint64 done);
    // `restarts_silence`: the device is expected to answer anew (not a question asked again).
    void send(const QByteArray &frame, bool restarts_silence = true);
    void ask(Question question);
    void ask_again();
    void answer_damaged();
    void send_chunk(quint16 sequence);
    void end();
    void fail(Failure failure, const QString &detail = QString());
    void set_notice(Notice notice, int silent_seconds);
    void check_silence();
    void arm_silence(qint64 quiet);

    QSerialPort *m_port;
    FrameReader m_frames;
    Mode m_mode = Mode::Package;
    Stage m_stage = Stage::Idle;
    std::shared_ptr<FirmwarePackage> m_package;
    UpdateVersions m_versions;

    FirmwareImage m_image;      // the image being sent
    FirmwareImage m_dsp_image;  // read and checked with the WLAN image, sent after it
    quint8 m_unit = 0;
    quint16 m_in_flight = 0;    // the sequence field of the chunk last sent
    quint16 m_chunk = 0;        // the number of the chunk last sent
    int m_chunks = 0;           // the chunks of the image being sent
    // The acknowledgement last taken: the same again is a repeat, not damage.
    quint8 m_last_ack_unit = 0;
    int m_last_ack = -1;
    // The reads of the port that brought bytes, and the one that brought the
    // acknowledgement last taken: what else that read brought came before
    // the next chunk went out, and cannot be its answer.
    qint64 m_reads = 0;
    qint64 m_last_ack_read = -1;
    Question m_question = Question::Type;
    int m_asked = 0;            // times the current question went out
    int m_wlan_asked = 0;       // times the WLAN question went out, once answered
    QTimer m_ask_again;
    QTimer m_damaged;
    bool m_data_sent = false;
    Notice m_notice = Notice::None;

    // Silence is measured from the last frame sent; the timer only looks at
    // the clock, so that sending a chunk costs no timer restart.
    QElapsedTimer m_since_sent;
    QTimer m_silence;
    int m_notice_ms;
    int m_give_up_ms = GIVE_UP_MS;

    // The whole transfer: since its first chunk, and the bytes of the images
    // already done.
    QElapsedTimer m_clock;
    qint64 m_done_before = 0;
    TimeLeft m_time_left;
};
