#pragma once

#include "firmwarereceiver.h"
#include "frameassembler.h"
#include "linefaults.h"
#include "options.h"
#include "signalwalk.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <random>

namespace sim {

class PtyLink;
class ReplyWriter;

struct ReceivedFrame
{
    qint64 at_ns;      // std::chrono::steady_clock, nanoseconds since its epoch
    QByteArray bytes;  // the whole 112-byte frame
};
using SentFrame = ReceivedFrame;

struct CompletedImage
{
    quint8 unit;
    QByteArray data;
    QString filePath;  // where it was written, empty without an image folder
};

// The simulated device on the far end of a pseudo-terminal.
//
// It answers every request the program sends, keeps the state those requests
// change (in options()), sends reports on its own, receives firmware images,
// and records everything it receives so tests can inspect it.
class Device : public QObject
{
    Q_OBJECT
public:
    // LINE mode input bytes run from 0 to this (gain -8 .. +24).
    static constexpr int kLineMax = 32;
    // MIC mode input bytes have bit 7 set; the low bits run from 0 to this.
    static constexpr int kMicMax = 56;

    explicit Device(const DeviceOptions &options, QObject *parent = nullptr);
    ~Device() override;

    // Opens a new pseudo-terminal. Also used after hangUp() to plug the device
    // in again (the slave path changes; the symlink, if any, follows it).
    bool start(QString *error = nullptr);
    bool isConnected() const;
    QString slavePath() const;
    // Pulls the cable: closes the pseudo-terminal and drops pending output.
    void hangUp();
    // Pulls the cable now and plugs it in again after `delayMs` (start()).
    void replug(int delayMs);
    // Drops replies the program has not read yet (for example while its port
    // was closed), including those still held back by the fault switches.
    void discardUnread();

    DeviceOptions &options() { return m_opt; }
    const DeviceOptions &options() const { return m_opt; }
    void setQuiet(bool quiet) { m_opt.logFrames = !quiet; }

    // What the device received and sent (when options().recordFrames is set).
    const QList<ReceivedFrame> &received() const { return m_received; }
    const QList<SentFrame> &sent() const { return m_sent; }
    void clearReceived();
    void clearSent();
    int malformedCount() const { return m_malformed; }
    QStringList malformedReports() const { return m_malformedReports; }
    qint64 noiseBytes() const { return m_assembler.droppedBytes(); }

    // Sends a frame as the device (through the fault switches).
    void sendFrame(quint8 code, quint8 unit, const QByteArray &args);
    // Writes bytes to the link as they are, at once.
    void writeRaw(const QByteArray &bytes);
    // The next frame the device sends is damaged on the line (LineFaults::once).
    void damageNext(LineFaults::Kind kind, int at, int value = -1) { m_faults.once(kind, at, value); }
    // Sends the rest of a report from byte `from` on, as if the program had
    // opened its port in the middle of it (see LineFaults::reportTail).
    void sendReportTail(int from);

    // The device changes on its own (as by its buttons or its radio) and
    // reports the change with the matching reply.
    void setMuted(bool muted);
    void setPhantom(bool on);
    void setLinkState(int state);
    void setChannel(int channel);
    void setTemperature(int degrees);
    void stepGain(bool up);
    void sendInfo();

    // One line of the operator console; returns the text to show.
    QString runCommand(const QString &line);
    static QString commandHelp();

    // Report mode last set by the program: 0 off, 1 signal, 2 or 3 sniffer.
    int reportMode() const { return m_reportMode; }
    // Reports start (1 signal, 2 or 3 sniffer) or stop (0), as the program's
    // report-mode request makes them.
    void setReportMode(int mode);
    // Reports start (1 signal, 2 or 3 sniffer) or stop (0), as the program's
    // report-mode request does.

    // Firmware transfer.
    QStringList violations() const { return m_violations; }
    const QList<CompletedImage> &completedImages() const { return m_images; }
    // The last complete image for the unit, empty if none.
    QByteArray receivedImage(quint8 unit) const;
    QByteArray partialImage(quint8 unit) const { return m_firmware.partialImage(unit); }
    int firmwareDataFrames() const { return m_firmware.dataFrames(); }
    int acksSent() const { return m_acksSent; }
    void resetFirmware();

signals:
    void frameReceived(const QByteArray &frame);
    void frameSent(const QByteArray &frame);
    void bytesWritten(const QByteArray &bytes);   // every write to the link
    void malformedFrame(const QByteArray &frame, const QString &problem);
    void violation(const QString &text);
    void imageCompleted(quint8 unit, const QByteArray &image);
    void hungUp();

private:
    void onBytes(const QByteArray &bytes);
    void processInput();
    void handleFrame(const QByteArray &frame);
    void reply(quint8 code, quint8 unit, const QByteArray &args, int delayMs = 0);
    // Every frame the device sends passes the line faults here.
    void submit(const QByteArray &frame, int delayMs = 0);
    // A delay from minMs to maxMs (minMs where maxMs is not above it).
    int randomDelay(int minMs, int maxMs);
    QByteArray infoArgs() const;
    QByteArray audioArgs() const;
    void sendReport();
    void sendWalkReport();
    void onFirmwareData(const QByteArray &frame);
    void addViolations(const QStringList &texts);
    void onFrameWritten(const QByteArray &frame, qint64 atNs);
    void log(const QString &text);
    void logFrame(const char *dir, const QByteArray &frame, const QString &desc);
    bool openLog();

    DeviceOptions m_opt;
    PtyLink *m_link;
    ReplyWriter *m_writer;
    FrameAssembler m_assembler;
    FirmwareReceiver m_firmware;
    LineFaults m_faults;
    bool m_midFramePending = false;
    QFile m_log;
    bool m_logOpen = false;
    bool m_logTried = false;

    QList<ReceivedFrame> m_received;
    QList<SentFrame> m_sent;
    int m_malformed = 0;
    QStringList m_malformedReports;

    // Frames waiting for their time on the wire (wire pacing), each with the
    // moment its last byte is in. While one is handled, m_replyBaseNs is that
    // moment: the answer's time on the wire starts there, not when a timer
    // happened to fire.
    QList<ReceivedFrame> m_inQueue;
    qint64 m_inFreeNs = 0;
    qint64 m_replyBaseNs = -1;
    QTimer m_inTimer;

    int m_reportMode = 0;
    bool m_reportsPending = false;
    quint32 m_reportTick = 0;
    SignalWalk m_walk;
    bool m_walkLinkDown = false;  // the walk dropped the link (and must bring it back)
    QTimer m_reportTimer;
    QTimer m_linkTimer;
    QTimer m_plugTimer;

    QStringList m_violations;
    QList<CompletedImage> m_images;
    QMap<quint8, int> m_imageCount;
    int m_acksSent = 0;
    std::mt19937 m_random;  // duplicated acknowledgements and delays
};

} // namespace sim
