#include "device.h"

#include "frame.h"
#include "ptylink.h"
#include "replywriter.h"

#include <QDir>
#include <QTime>

#include <cstdio>

namespace sim {

namespace {

QByteArray u16Bytes(quint16 v)
{
    QByteArray out;
    appendU16(out, v);
    return out;
}

} // namespace

Device::Device(const DeviceOptions &options, QObject *parent)
    : QObject(parent)
    , m_opt(options)
    , m_link(new PtyLink(this))
    , m_writer(new ReplyWriter(m_link, m_opt, this))
    , m_faults(m_opt)
    , m_walk(quint32(options.walkSeed),
             SignalWalk::Rates{options.walkNoReadingEvery, options.walkLinkDropEvery, options.walkDipEvery})
    , m_random(faultRandom(options.faultSeed, 2))
{
    connect(m_link, &PtyLink::bytesReceived, this, &Device::onBytes);
    connect(m_link, &PtyLink::writeError, this, [this](const QString &msg) { log(QStringLiteral("write error: ") + msg); });
    connect(m_writer, &ReplyWriter::frameWritten, this, &Device::onFrameWritten);
    connect(m_writer, &ReplyWriter::chunkWritten, this, &Device::bytesWritten);

    m_inTimer.setSingleShot(true);
    m_inTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_inTimer, &QTimer::timeout, this, &Device::processInput);

    m_reportTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_reportTimer, &QTimer::timeout, this, &Device::sendReport);

    m_linkTimer.setSingleShot(true);
    connect(&m_linkTimer, &QTimer::timeout, this, [this]() { setLinkState(2); });

    m_plugTimer.setSingleShot(true);
    connect(&m_plugTimer, &QTimer::timeout, this, [this]() { start(); });
}

Device::~Device() = default;

bool Device::start(QString *error)
{
    if (!m_logTried)
        openLog();
    if (m_link->isOpen())
        hangUp();
    QString err;
    m_link->setSymlink(m_opt.symlinkPath);
    if (!m_link->open(&err)) {
        log(QStringLiteral("cannot open pseudo-terminal: ") + err);
        if (error)
            *error = err;
        return false;
    }
    m_assembler.clear();
    m_midFramePending = m_opt.startMidFrame >= 0;
    m_reportsPending = m_opt.reportModeAtStart > 0;
    log(QStringLiteral("device on %1%2").arg(m_link->slavePath(),
        m_opt.symlinkPath.isEmpty() ? QString() : QStringLiteral(" (link %1)").arg(m_opt.symlinkPath)));
    return true;
}

bool Device::isConnected() const
{
    return m_link->isOpen();
}

QString Device::slavePath() const
{
    return m_link->slavePath();
}

void Device::hangUp()
{
    m_plugTimer.stop();
    m_writer->clear();
    m_inQueue.clear();
    m_inTimer.stop();
    m_reportTimer.stop();
    m_reportMode = 0;
    m_linkTimer.stop();
    m_assembler.clear();
    const bool wasOpen = m_link->isOpen();
    m_link->hangUp();
    if (wasOpen) {
        log(QStringLiteral("hung up"));
        emit hungUp();
    }
}

void Device::replug(int delayMs)
{
    hangUp();
    m_plugTimer.start(qMax(delayMs, 0));
}

void Device::discardUnread()
{
    m_writer->clear();
    m_link->discardUnread();
}

void Device::clearReceived()
{
    m_received.clear();
}

void Device::clearSent()
{
    m_sent.clear();
}

void Device::sendFrame(quint8 code, quint8 unit, const QByteArray &args)
{
    submit(buildFrame(code, unit, args));
}

void Device::submit(const QByteArray &frame, int delayMs)
{
    if (m_midFramePending) {
        m_midFramePending = false;
        sendReportTail(m_opt.startMidFrame);
    }
    QString fault;
    LineFaults::Pause pause;
    const QByteArray bytes = m_faults.apply(frame, &fault, &pause);
    if (!fault.isEmpty()) {
        // Bytes 0 to 7 + L carry the frame's meaning; the rest is padding.
        const int length = byteAt(frame, 3);
        log(QStringLiteral("line fault in %1, meaningful bytes 0-%2: %3")
                .arg(describeFrame(frame, false))
                .arg(qMin(7 + length, kFrameSize - 1))
                .arg(fault));
    }
    m_writer->submit(bytes, delayMs, m_replyBaseNs, pause.cut, pause.ms);
}

int Device::randomDelay(int minMs, int maxMs)
{
    return maxMs > minMs ? std::uniform_int_distribution<int>(minMs, maxMs)(m_random) : minMs;
}

void Device::sendReportTail(int from)
{
    const QByteArray tail = LineFaults::reportTail(from);
    log(QStringLiteral("stream picked up mid-frame: the last %1 byte(s) of a sniffer report").arg(tail.size()));
    m_writer->submit(tail);
}

void Device::writeRaw(const QByteArray &bytes)
{
    m_link->write(bytes);
    emit bytesWritten(bytes);
}

// ---- input ----

void Device::onBytes(const QByteArray &bytes)
{
    const qint64 droppedBefore = m_assembler.droppedBytes();
    m_assembler.feed(bytes);
    QByteArray frame;
    QString problem;
    while (m_link->isOpen() && m_assembler.next(&frame, &problem)) {
        const qint64 now = steadyNowNs();
        if (m_opt.recordFrames)
            m_received.append({now, frame});
        if (m_opt.logFrames)
            logFrame("RX", frame, describeFrame(frame, true));
        emit frameReceived(frame);
        if (!problem.isEmpty()) {
            ++m_malformed;
            const QString text = QStringLiteral("malformed frame (%1): %2")
                                     .arg(problem, QString::fromLatin1(frame.toHex(' ')));
            m_malformedReports.append(text);
            log(text);
            emit malformedFrame(frame, problem);
            if (m_opt.ignoreMalformed)
                continue;
        }
        if (m_opt.wirePacing || !m_inQueue.isEmpty()) {
            // The last byte of this frame reaches the device one frame time after
            // the line becomes free for it. The program sent it in answer to the
            // device's last frame, which left late by the writer's lateness: on
            // time, the program would have sent it that much earlier.
            const qint64 sent = now - m_writer->takeLateness();
            const qint64 ready = qMax(sent, m_inFreeNs) + kFrameWireNs;
            m_inFreeNs = ready;
            m_inQueue.append({ready, frame});
            if (!m_inTimer.isActive())
                processInput();
        } else {
            handleFrame(frame);
        }
    }
    const qint64 dropped = m_assembler.droppedBytes() - droppedBefore;
    if (dropped > 0)
        log(QStringLiteral("skipped %1 byte(s) outside frames").arg(dropped));
}

void Device::processInput()
{
    while (!m_inQueue.isEmpty()) {
        const qint64 wait = m_inQueue.first().at_ns - steadyNowNs();
        if (wait > kEarlyReleaseNs) {
            m_inTimer.start(int((wait + 999999) / 1000000));
            return;
        }
        const ReceivedFrame next = m_inQueue.takeFirst();
        m_replyBaseNs = next.at_ns;
        handleFrame(next.bytes);
        m_replyBaseNs = -1;
    }
}

void Device::handleFrame(const QByteArray &frame)
{
    const quint8 unit = byteAt(frame, 5);
    const quint8 code = byteAt(frame, 7);
    const quint8 arg = byteAt(frame, 8);
    // A device left reporting by an earlier program goes on with it.
    if (m_reportsPending) {
        m_reportsPending = false;
        if (code != cmd::ReportMode)
            setReportMode(m_opt.reportModeAtStart);
    }
    switch (code) {
    case cmd::Status:
        reply(rpl::DeviceInfo, kUnitWlan, infoArgs());
        break;
    case cmd::MasterInfo:
        reply(rpl::Channel, unit, QByteArray(1, char(m_opt.channel)));
        break;
    case cmd::SetChannel:
        m_opt.channel = arg;
        reply(rpl::Channel, unit, QByteArray(1, char(m_opt.channel)));
        break;
    case cmd::Gain:
        if (arg > 1) {
            log(QStringLiteral("gain step with argument %1 ignored").arg(arg));
            break;
        }
        stepGain(arg == 1);
        break;
    case cmd::Mute:
        m_opt.muted = true;
        reply(rpl::Mute, unit, QByteArray(1, 1));
        break;
    case cmd::Unmute:
        m_opt.muted = false;
        reply(rpl::Mute, unit, QByteArray(1, 0));
        break;
    case cmd::Version:
        if (unit == kUnitWlan) {
            reply(rpl::Version, unit, u16Bytes(m_opt.wlanVersion));
        } else {
            QByteArray v;
            v.append(char(m_opt.dspMinor));
            v.append(char(m_opt.dspMajor));
            reply(rpl::Version, unit, v);
        }
        break;
    case cmd::Temperature:
        reply(rpl::Temperature, unit, u16Bytes(quint16(qint16(m_opt.temperature))));
        break;
    case cmd::Link:
        // The LINK function re-pairs the radio: the link drops and comes back.
        setLinkState(1);
        m_linkTimer.start(qMax(m_opt.linkRestoreMs, 0));
        break;
    case cmd::ReportMode:
        setReportMode(arg);
        break;
    case cmd::DeviceType:
        reply(rpl::DeviceType, unit, QByteArray(1, char(m_opt.effectiveDeviceType())));
        break;
    case cmd::FwData:
        onFirmwareData(frame);
        break;
    case cmd::FwFinish:
        addViolations(m_firmware.takeFinish(unit));
        reply(rpl::FwDone, unit, QByteArray(), randomDelay(m_opt.finishDelayMs, m_opt.finishDelayMaxMs));
        break;
    default:
        log(QStringLiteral("no answer to unknown command %1").arg(code));
        break;
    }
}

// ---- replies and state ----

void Device::reply(quint8 code, quint8 unit, const QByteArray &args, int delayMs)
{
    if (!m_link->isOpen())
        return;
    submit(buildFrame(code, unit, args), delayMs);
}

QByteArray Device::infoArgs() const
{
    QByteArray a(3, '\0');
    quint8 b8 = quint8(m_opt.role) & 3;
    if (m_opt.txu)
        b8 |= 1 << 2;
    if (m_opt.repeaterMode)
        b8 |= 1 << 3;
    b8 |= quint8((m_opt.slot & 15) << 4);
    quint8 b9;
    quint8 b10 = 0;
    if (m_opt.txu) {
        b9 = quint8(m_opt.linkState & 15);
        if (m_opt.muted)
            b9 |= 1 << 4;
        if (m_opt.phantom)
            b9 |= 1 << 5;
        if (m_opt.hiZ)
            b9 |= 1 << 6;
        b10 = m_opt.input;
    } else {
        b9 = quint8(m_opt.linkState);
    }
    a[0] = char(b8);
    a[1] = char(b9);
    a[2] = char(b10);
    return a;
}

QByteArray Device::audioArgs() const
{
    QByteArray a(2, '\0');
    a[0] = char(m_opt.input);
    a[1] = char(m_opt.hiZ ? 1 : 0);
    return a;
}

void Device::stepGain(bool up)
{
    const bool mic = m_opt.input & 0x80;
    const int max = mic ? kMicMax : kLineMax;
    int v = m_opt.input & 0x7f;
    if (up && v < max)
        ++v;
    else if (!up && v > 0)
        --v;
    m_opt.input = quint8((mic ? 0x80 : 0) | v);
    reply(rpl::Audio, kUnitDsp, audioArgs());
}

void Device::setMuted(bool muted)
{
    m_opt.muted = muted;
    reply(rpl::Mute, kUnitDsp, QByteArray(1, muted ? 1 : 0));
}

void Device::setPhantom(bool on)
{
    m_opt.phantom = on;
    reply(rpl::Phantom, kUnitDsp, QByteArray(1, on ? 1 : 0));
}

void Device::setLinkState(int state)
{
    m_opt.linkState = state;
    reply(rpl::LinkState, kUnitWlan, QByteArray(1, char(state)));
}

void Device::setChannel(int channel)
{
    m_opt.channel = channel;
    reply(rpl::Channel, kUnitWlan, QByteArray(1, char(channel)));
}

void Device::setTemperature(int degrees)
{
    m_opt.temperature = degrees;
    reply(rpl::Temperature, kUnitWlan, u16Bytes(quint16(qint16(degrees))));
}

void Device::sendInfo()
{
    reply(rpl::DeviceInfo, kUnitWlan, infoArgs());
}

void Device::setReportMode(int mode)
{
    m_reportMode = (mode >= 1 && mode <= 3) ? mode : 0;
    if (mode > 3)
        log(QStringLiteral("report mode %1 taken as off").arg(mode));
    m_reportTick = 0;
    if (m_reportMode == 0)
        m_reportTimer.stop();
    else
        m_reportTimer.start(qMax(m_opt.reportPeriodMs, 1));
}

void Device::sendReport()
{
    const quint32 t = m_reportTick++;
    QByteArray a;
    if (m_opt.signalWalk) {
        sendWalkReport();
        return;
    }
    if (m_reportMode == 1) {
        // Levels wander slowly through the whole display range; no reading without a link.
        const bool linked = m_opt.linkState != 1;
        // A level held by --signal (or the console's "signal") stands still.
        const bool held = m_opt.signalLevel != 0;
        const qint16 levelA = linked ? qint16(held ? m_opt.signalLevel : -30 - int(t * 7 % 50)) : 0;
        const qint16 levelB = (linked && m_opt.repeaterMode) ? qint16(held ? m_opt.signalLevel : -35 - int(t * 5 % 45)) : 0;
        appendU16(a, quint16(levelA));
        appendU16(a, quint16(levelB));
        reply(rpl::Signal, kUnitWlan, a);
    } else {
        const quint32 n = t + 1;
        appendU16(a, quint16(n * 10));             // beacons A
        appendU16(a, quint16(n * 48 + t % 3));     // audio A
        appendU16(a, quint16(n * 9));              // beacons B
        appendU16(a, quint16(n * 45 + t % 5));     // audio B
        appendU16(a, quint16(qint16(-40 - int(t % 20))));  // RSSI A
        appendU16(a, quint16(qint16(-50 - int(t % 15))));  // RSSI B
        reply(rpl::Sniff, kUnitWlan, a);
    }
}

// A report from the wandering signal: the walk may drop the link (reply 9)
// and bring it back; without a link, or without a reading, levels are 0.
void Device::sendWalkReport()
{
    const SignalWalk::Step step = m_walk.advance(qMax(m_opt.reportPeriodMs, 1) / 1000.0);
    if (step.linkDown && !m_walkLinkDown && m_opt.linkState != 1) {
        m_walkLinkDown = true;
        setLinkState(1);
    } else if (!step.linkDown && m_walkLinkDown) {
        m_walkLinkDown = false;
        if (m_opt.linkState == 1)
            setLinkState(2);
    }
    const bool reading = m_opt.linkState != 1 && !step.noReading;
    // A level held by --signal (or the console's "signal") stands still; the
    // dropouts go on.
    const int levelA = m_opt.signalLevel != 0 ? m_opt.signalLevel : step.levelA;
    const int levelB = m_opt.signalLevel != 0 ? m_opt.signalLevel : step.levelB;
    QByteArray a;
    if (m_reportMode == 1) {
        appendU16(a, quint16(qint16(reading ? levelA : 0)));
        appendU16(a, quint16(qint16(reading && m_opt.repeaterMode ? levelB : 0)));
        reply(rpl::Signal, kUnitWlan, a);
        return;
    }
    // The sniffer counts the beacons and audio packets heard since its last
    // report (about one beacon and one audio packet per 20 ms), and hears the
    // same signal as its RSSI.
    const int heard = qMax(m_opt.reportPeriodMs / 20, 1);
    const quint32 t = m_reportTick;
    appendU16(a, quint16(reading ? heard : 0));
    appendU16(a, quint16(reading ? heard - int(t % 2) : 0));
    appendU16(a, quint16(reading ? heard - int(t % 3 == 0) : 0));
    appendU16(a, quint16(reading ? heard - int(t % 5 == 0) : 0));
    appendU16(a, quint16(qint16(reading ? levelA : 0)));
    appendU16(a, quint16(qint16(reading ? levelB : 0)));
    reply(rpl::Sniff, kUnitWlan, a);
}

// ---- firmware ----

void Device::onFirmwareData(const QByteArray &frame)
{
    const int index = m_firmware.dataFrames();
    if (index == m_opt.hangUpAt) {
        log(QStringLiteral("hanging up on firmware chunk %1 as asked").arg(index));
        hangUp();
        return;
    }
    FirmwareReceiver::Chunk c = m_firmware.takeData(frame);
    addViolations(c.problems);
    if (c.completesImage) {
        const int count = ++m_imageCount[c.unit];
        CompletedImage img{c.unit, c.image, QString()};
        if (!m_opt.imageDir.isEmpty()) {
            QDir().mkpath(m_opt.imageDir);
            img.filePath = QDir(m_opt.imageDir).filePath(QStringLiteral("unit%1-%2.bin").arg(c.unit).arg(count));
            QFile f(img.filePath);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(c.image) != c.image.size()) {
                log(QStringLiteral("cannot write %1: %2").arg(img.filePath, f.errorString()));
                img.filePath.clear();
            }
        }
        m_images.append(img);
        log(QStringLiteral("firmware image for unit %1 complete: %2 bytes%3")
                .arg(c.unit).arg(c.image.size())
                .arg(img.filePath.isEmpty() ? QString() : QStringLiteral(" in ") + img.filePath));
        emit imageCompleted(c.unit, c.image);
    }
    const QByteArray ack = u16Bytes(c.seq);
    bool twice = index == m_opt.duplicateAckAt;
    if (m_opt.duplicateAckChance > 0 && std::uniform_real_distribution<double>(0, 1)(m_random) < m_opt.duplicateAckChance)
        twice = true;
    if (twice && index != m_opt.duplicateAckAt)
        log(QStringLiteral("acknowledging firmware chunk %1 twice").arg(index));
    const int delayMs = randomDelay(m_opt.ackDelayMs, m_opt.ackDelayMaxMs);
    for (int i = 0; i < (twice ? 2 : 1); ++i) {
        ++m_acksSent;
        reply(rpl::FwAck, c.unit, ack, delayMs);
    }
}

void Device::addViolations(const QStringList &texts)
{
    for (const QString &t : texts) {
        m_violations.append(t);
        log(QStringLiteral("firmware: ") + t);
        emit violation(t);
    }
}

QByteArray Device::receivedImage(quint8 unit) const
{
    for (int i = m_images.size() - 1; i >= 0; --i) {
        if (m_images.at(i).unit == unit)
            return m_images.at(i).data;
    }
    return QByteArray();
}

void Device::resetFirmware()
{
    m_firmware.reset();
    m_violations.clear();
    m_images.clear();
    m_imageCount.clear();
    m_acksSent = 0;
}

// ---- output and logging ----

void Device::onFrameWritten(const QByteArray &frame, qint64 atNs)
{
    if (m_opt.recordFrames)
        m_sent.append({atNs, frame});
    if (m_opt.logFrames)
        logFrame("TX", frame, describeFrame(frame, false));
    emit frameSent(frame);
}

bool Device::openLog()
{
    m_logTried = true;
    m_logOpen = m_opt.logPath.isEmpty()
        ? m_log.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered)
        : (m_log.setFileName(m_opt.logPath), m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text));
    if (!m_logOpen)
        std::fprintf(stderr, "tvc-sim: cannot open log %s: %s\n", qPrintable(m_opt.logPath), qPrintable(m_log.errorString()));
    return m_logOpen;
}

void Device::log(const QString &text)
{
    if (!m_logOpen && (m_logTried || !openLog()))
        return;
    QByteArray line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1() + ' ';
    if (!m_opt.logTag.isEmpty())
        line += '[' + m_opt.logTag.toLocal8Bit() + "] ";
    line += text.toLocal8Bit() + '\n';
    m_log.write(line);
    m_log.flush();
}

void Device::logFrame(const char *dir, const QByteArray &frame, const QString &desc)
{
    log(QString::fromLatin1(dir) + QLatin1Char(' ') + QString::fromLatin1(frame.toHex(' ')) + QStringLiteral("  ") + desc);
}

// ---- operator console ----

QString Device::commandHelp()
{
    return QStringLiteral(
        "mute on|off      mute or unmute (reply 99)\n"
        "phantom on|off   switch +48V (reply 88)\n"
        "link N           set the link state, 1 = no link (reply 9)\n"
        "channel N        change the RF channel (reply 45)\n"
        "temp N           change the module temperature (reply 75)\n"
        "gain up|down     one gain step (reply 21)\n"
        "signal N|wander  signal reports carry N dBm (negative), or wander again\n"
        "info             send the device information (reply 42)\n"
        "unplug, hangup   pull the cable (the terminal and the --link-path symlink go)\n"
        "plug             plug it in (a new terminal; the symlink follows it)\n"
        "replug [ms]      unplug, and plug in again after ms (default 1000)\n"
        "flush            drop replies the program has not read\n"
        "drop [K]         the next frame loses byte K on the line (a random byte without K)\n"
        "insert [K [V]]   the next frame gets an extra byte (of value V) before byte K\n"
        "stray [V]        the next frame is followed by a stray byte (of value V)\n"
        "burst [N]        the next frame is followed by N noise bytes (1..64; random without N)\n"
        "flip [K]         byte K of the next frame is inverted\n"
        "midframe [K]     send a sniffer report's bytes from byte K on, as a port opened\n"
        "                 mid-frame sees them (default 8: a false frame start)\n"
        "quiet on|off     per-frame log off or on\n"
        "help             this text\n"
        "quit, exit       end the simulator (so does Ctrl+D at a terminal)");
}

QString Device::runCommand(const QString &line)
{
    const QString simple = line.simplified();
    if (simple.isEmpty())
        return QString();
    const QStringList w = simple.split(QLatin1Char(' '));
    const QString c = w.at(0).toLower();
    const QString a = w.value(1).toLower();
    auto onOff = [&a](bool *value) {
        if (a == QLatin1String("on") || a == QLatin1String("1")) {
            *value = true;
            return true;
        }
        if (a == QLatin1String("off") || a == QLatin1String("0")) {
            *value = false;
            return true;
        }
        return false;
    };
    bool ok = false;
    const int n = w.value(1).toInt(&ok, 0);
    bool flag = false;

    if (c == QLatin1String("help") || c == QLatin1String("?"))
        return commandHelp();
    if (c == QLatin1String("info") && w.size() == 1) {
        sendInfo();
        return QStringLiteral("sent device information");
    }
    if (c == QLatin1String("mute") && w.size() == 2 && onOff(&flag)) {
        setMuted(flag);
        return flag ? QStringLiteral("muted") : QStringLiteral("unmuted");
    }
    if (c == QLatin1String("phantom") && w.size() == 2 && onOff(&flag)) {
        setPhantom(flag);
        return flag ? QStringLiteral("+48V on") : QStringLiteral("+48V off");
    }
    if (c == QLatin1String("link") && w.size() == 2 && ok && n >= 0 && n <= 255) {
        setLinkState(n);
        return QStringLiteral("link state %1").arg(n);
    }
    if (c == QLatin1String("channel") && w.size() == 2 && ok && n >= 0 && n <= 255) {
        setChannel(n);
        return QStringLiteral("channel %1").arg(n);
    }
    if (c == QLatin1String("temp") && w.size() == 2 && ok && n >= -32768 && n <= 32767) {
        setTemperature(n);
        return QStringLiteral("temperature %1").arg(n);
    }
    if (c == QLatin1String("gain") && w.size() == 2 && (a == QLatin1String("up") || a == QLatin1String("down"))) {
        stepGain(a == QLatin1String("up"));
        return QStringLiteral("input byte 0x%1").arg(m_opt.input, 2, 16, QLatin1Char('0'));
    }
    if (c == QLatin1String("signal") && w.size() == 2 && ((ok && n < 0 && n >= -32768) || a == QLatin1String("wander"))) {
        m_opt.signalLevel = ok ? n : 0;
        return ok ? QStringLiteral("signal %1 dBm").arg(n) : QStringLiteral("signal wanders");
    }
    if ((c == QLatin1String("hangup") || c == QLatin1String("unplug")) && w.size() == 1) {
        hangUp();
        return QStringLiteral("hung up");
    }
    if (c == QLatin1String("plug") && w.size() == 1) {
        if (isConnected())
            return QStringLiteral("already plugged in on ") + slavePath();
        QString err;
        if (!start(&err))
            return QStringLiteral("error: ") + err;
        return slavePath();
    }
    if (c == QLatin1String("replug") && (w.size() == 1 || (w.size() == 2 && ok && n >= 0))) {
        const int delayMs = w.size() == 2 ? n : 1000;
        replug(delayMs);
        return QStringLiteral("hung up; plugging in again in %1 ms").arg(delayMs);
    }
    if (c == QLatin1String("flush") && w.size() == 1) {
        discardUnread();
        return QStringLiteral("unread replies dropped");
    }
    const bool byteArg = w.size() == 1 || (w.size() == 2 && ok && n >= 0 && n < kFrameSize);
    const QString which = w.size() >= 2 ? QStringLiteral("byte %1").arg(n) : QStringLiteral("a random byte");
    if (c == QLatin1String("drop") && byteArg) {
        m_faults.once(LineFaults::Kind::Drop, w.size() == 2 ? n : -1);
        return QStringLiteral("the next frame loses %1").arg(which);
    }
    if (c == QLatin1String("insert") && (byteArg || w.size() == 3)) {
        bool valueOk = true;
        const int value = w.size() == 3 ? w.at(2).toInt(&valueOk, 0) : -1;
        if (w.size() == 3 && (!ok || n < 0 || n >= kFrameSize || !valueOk || value < 0 || value > 255))
            return QStringLiteral("error: insert K V needs K from 0 to %1 and V from 0 to 255").arg(kFrameSize - 1);
        m_faults.once(LineFaults::Kind::Insert, w.size() >= 2 ? n : -1, value);
        return QStringLiteral("the next frame gets an extra byte before %1").arg(which);
    }
    if (c == QLatin1String("stray") && (w.size() == 1 || (w.size() == 2 && ok && n >= 0 && n <= 255))) {
        m_faults.once(LineFaults::Kind::Stray, -1, w.size() == 2 ? n : -1);
        return QStringLiteral("the next frame is followed by a stray byte");
    }
    if (c == QLatin1String("burst") && (w.size() == 1 || (w.size() == 2 && ok && n >= 1 && n <= 64))) {
        m_faults.once(LineFaults::Kind::Burst, w.size() == 2 ? n : -1);
        return QStringLiteral("the next frame is followed by a burst of noise");
    }
    if (c == QLatin1String("flip") && byteArg) {
        m_faults.once(LineFaults::Kind::Flip, w.size() == 2 ? n : -1);
        return QStringLiteral("the next frame has %1 inverted").arg(which);
    }
    if (c == QLatin1String("midframe") && byteArg) {
        const int from = w.size() == 2 ? n : 8;
        sendReportTail(from);
        return QStringLiteral("sent a sniffer report from byte %1 on").arg(from);
    }
    if (c == QLatin1String("quiet") && w.size() == 2 && onOff(&flag)) {
        setQuiet(flag);
        return flag ? QStringLiteral("frame log off") : QStringLiteral("frame log on");
    }
    return QStringLiteral("error: cannot understand \"%1\"; type help").arg(line.trimmed());
}

} // namespace sim
