#include "cli.h"

#include "device.h"
#include "frame.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

bool toNumber(const QString &text, int min, int max, int *out)
{
    bool ok = false;
    const int v = text.toInt(&ok, 0);
    if (!ok || v < min || v > max)
        return false;
    *out = v;
    return true;
}

// "N" or "MIN-MAX", each from min to max: into *low and *high (N gives N and N).
bool toRange(const QString &text, int min, int max, int *low, int *high)
{
    const int dash = text.indexOf(QLatin1Char('-'), 1);
    int a = 0;
    int b = 0;
    if (dash < 0) {
        if (!toNumber(text, min, max, &a))
            return false;
        b = a;
    } else if (!toNumber(text.left(dash), min, max, &a) || !toNumber(text.mid(dash + 1), min, max, &b) || b < a) {
        return false;
    }
    *low = a;
    *high = b;
    return true;
}

// A probability: a number from 0 to 1, or a percentage ("5%").
bool toChance(const QString &text, double *out)
{
    const bool percent = text.endsWith(QLatin1Char('%'));
    bool ok = false;
    double v = (percent ? text.chopped(1) : text).toDouble(&ok);
    if (percent)
        v /= 100;
    if (!ok || !(v >= 0 && v <= 1))
        return false;
    *out = v;
    return true;
}

// The options that make several devices: how many, and each one's own options.
struct DeviceSet
{
    int count = 1;
    QStringList own;  // "K:OPTIONS", in the order given
};

// Reads one device's options on top of *options; `set` is null where
// --devices and --device may not appear (inside --device).
ParseResult parseInto(const QStringList &arguments, DeviceOptions *options, QString *message, DeviceSet *set)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Plays a Tavero device on a pseudo-terminal. Prints the terminal's path as the first line,\n"
        "then takes operator commands on standard input (type help). quit, or Ctrl+D at a terminal,\n"
        "ends it (the terminal closes, exit status 0); so do Ctrl+C and SIGTERM. When standard input\n"
        "is not a terminal (a pipe, a file, /dev/null) its end only ends the commands: the device\n"
        "plays on, as for a script that starts it in the background.\n"
        "With --devices N it plays N devices, each on its own terminal, and prints their paths,\n"
        "one per line, device 1 first. The other options apply to every device; --device K:OPTIONS\n"
        "gives device K options of its own on top, for example\n"
        "  tvc-sim --devices 3 --wire-speed --device '2:--role rxu-client --dsp-version 4.5'\n"
        "          --device '3:--hangup-at 40'"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption role(QStringLiteral("role"),
        QStringLiteral("Device role: master, txu-client, rxu-client, repeater or unknown (default txu-client)."),
        QStringLiteral("role"));
    const QCommandLineOption txu(QStringLiteral("txu"), QStringLiteral("Report the device as a TXU."));
    const QCommandLineOption noTxu(QStringLiteral("no-txu"), QStringLiteral("Report the device as not a TXU."));
    const QCommandLineOption slot(QStringLiteral("slot"), QStringLiteral("Slot number 0..15."), QStringLiteral("n"));
    const QCommandLineOption repMode(QStringLiteral("repeater-mode"), QStringLiteral("The link runs in repeater mode."));
    const QCommandLineOption link({QStringLiteral("link"), QStringLiteral("link-state")},
        QStringLiteral("Link state (1 = no link, 2 and 3 = linked; default 2)."), QStringLiteral("n"));
    const QCommandLineOption mute(QStringLiteral("mute"), QStringLiteral("Start muted."));
    const QCommandLineOption phantom(QStringLiteral("phantom"), QStringLiteral("Start with +48V on."));
    const QCommandLineOption hiz(QStringLiteral("hiz"), QStringLiteral("Report the Hi-Z indicator."));
    const QCommandLineOption input(QStringLiteral("input"),
        QStringLiteral("Input byte: bit 7 set = MIC mode, else LINE mode (decimal or 0x..)."), QStringLiteral("byte"));
    const QCommandLineOption channel(QStringLiteral("channel"), QStringLiteral("RF channel (default 36)."), QStringLiteral("n"));
    const QCommandLineOption signal(QStringLiteral("signal"),
        QStringLiteral("Signal reports carry this level in dBm (negative) instead of wandering."), QStringLiteral("dBm"));
    const QCommandLineOption temp(QStringLiteral("temp"), QStringLiteral("Module temperature."), QStringLiteral("n"));
    const QCommandLineOption wlan(QStringLiteral("wlan-version"), QStringLiteral("WLAN firmware version (default 1650)."), QStringLiteral("n"));
    const QCommandLineOption dsp(QStringLiteral("dsp-version"), QStringLiteral("DSP firmware version (default 3.12)."), QStringLiteral("maj.min"));
    const QCommandLineOption devType(QStringLiteral("device-type"),
        QStringLiteral("Device type code for the firmware update (default 4 for a TXU, 8 otherwise)."), QStringLiteral("n"));
    const QCommandLineOption period(QStringLiteral("report-period"), QStringLiteral("Report interval in ms (default 200)."), QStringLiteral("ms"));
    const QCommandLineOption reportMode(QStringLiteral("report-mode"),
        QStringLiteral("Report from the program's first request on, as if an earlier program had asked:\n"
                       "1 signal reports, 2 or 3 sniffer reports (default 0: only when asked)."),
        QStringLiteral("mode"));
    const QCommandLineOption walk(QStringLiteral("signal-walk"),
        QStringLiteral("Reported levels wander slowly, with stretches without a reading and drops of the link."));
    const QCommandLineOption walkSeed(QStringLiteral("walk-seed"),
        QStringLiteral("Random seed of --signal-walk (default 1)."), QStringLiteral("n"));
    const QCommandLineOption linkRestore(QStringLiteral("link-restore"),
        QStringLiteral("How long LINK drops the link, in ms (default 1000)."), QStringLiteral("ms"));
    const QCommandLineOption logFile(QStringLiteral("log"), QStringLiteral("Log to this file instead of standard error."), QStringLiteral("file"));
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("No per-frame log lines."));
    const QCommandLineOption linkPath(QStringLiteral("link-path"),
        QStringLiteral("Make a symlink to the terminal here (removed on exit)."), QStringLiteral("path"));
    const QCommandLineOption imageDir(QStringLiteral("image-dir"),
        QStringLiteral("Write received firmware images here (unit<u>-<n>.bin)."), QStringLiteral("dir"));
    const QCommandLineOption split(QStringLiteral("split"),
        QStringLiteral("Write replies in pieces of n bytes, or each piece of a random length from "
                       "min to max bytes (for example 1-64)."), QStringLiteral("n|min-max"));
    const QCommandLineOption splitPause(QStringLiteral("split-pause"), QStringLiteral("Pause between pieces in ms (default 3)."), QStringLiteral("ms"));
    const QCommandLineOption merge(QStringLiteral("merge"), QStringLiteral("Hold replies and write n at once."), QStringLiteral("n"));
    const QCommandLineOption mergeHold(QStringLiteral("merge-hold"),
        QStringLiteral("Write held replies after this many ms anyway (default 50)."), QStringLiteral("ms"));
    const QCommandLineOption ackDelay(QStringLiteral("ack-delay"),
        QStringLiteral("Delay each firmware acknowledgement by ms, or by a random time from min to max ms."),
        QStringLiteral("ms|min-max"));
    const QCommandLineOption finishDelay(QStringLiteral("finish-delay"),
        QStringLiteral("Delay the confirmation of a firmware finish by ms, or by a random time from min "
                       "to max ms."), QStringLiteral("ms|min-max"));
    const QCommandLineOption wire(QStringLiteral("wire-speed"), QStringLiteral("Pace every frame in and out at 115200 baud."));
    const QCommandLineOption dupAck(QStringLiteral("dup-ack-at"),
        QStringLiteral("Acknowledge firmware data frame k (0-based, counted over all images) twice."), QStringLiteral("k"));
    const QCommandLineOption dupAckChance(QStringLiteral("dup-ack-chance"),
        QStringLiteral("Acknowledge each firmware data frame twice with probability p (0 to 1, or a "
                       "percentage such as 5%)."), QStringLiteral("p"));
    const QCommandLineOption hangAt(QStringLiteral("hangup-at"),
        QStringLiteral("Hang up on receiving firmware data frame k (0-based)."), QStringLiteral("k"));
    const QCommandLineOption ignoreBad(QStringLiteral("ignore-malformed"), QStringLiteral("Do not act on malformed frames."));
    const QCommandLineOption dropEvery(QStringLiteral("drop-every"),
        QStringLiteral("Every n-th frame sent loses a byte on the line."), QStringLiteral("n"));
    const QCommandLineOption insertEvery(QStringLiteral("insert-every"),
        QStringLiteral("Every n-th frame sent gets an extra byte on the line."), QStringLiteral("n"));
    const QCommandLineOption flipEvery(QStringLiteral("flip-every"),
        QStringLiteral("A byte of every n-th frame sent is inverted on the line."), QStringLiteral("n"));
    const QCommandLineOption faultByte(QStringLiteral("fault-byte"),
        QStringLiteral("The byte (0..111) that those faults hit (default: a random byte each time)."), QStringLiteral("k"));
    const QCommandLineOption faultValue(QStringLiteral("fault-value"),
        QStringLiteral("The value (0..255) of an inserted or stray byte (default: a random one each time)."),
        QStringLiteral("v"));
    const QCommandLineOption strayEvery(QStringLiteral("stray-every"),
        QStringLiteral("Every n-th frame sent is followed by a stray byte on the line."), QStringLiteral("n"));
    const QCommandLineOption burstEvery(QStringLiteral("burst-every"),
        QStringLiteral("Every n-th frame sent is followed by a burst of noise bytes."), QStringLiteral("n"));
    const QCommandLineOption burstSize(QStringLiteral("burst-size"),
        QStringLiteral("The length of those bursts, 1..64 (default: a random length each time)."), QStringLiteral("n"));
    const QCommandLineOption faultCode(QStringLiteral("fault-code"),
        QStringLiteral("The line faults count and hit only frames with this reply code\n"
                       "(92: firmware acknowledgements)."), QStringLiteral("code"));
    const QCommandLineOption dropChance(QStringLiteral("drop-chance"),
        QStringLiteral("Each frame sent loses a byte on the line with probability p (0 to 1, or 5%)."),
        QStringLiteral("p"));
    const QCommandLineOption insertChance(QStringLiteral("insert-chance"),
        QStringLiteral("Each frame sent gets an extra byte on the line with probability p."), QStringLiteral("p"));
    const QCommandLineOption flipChance(QStringLiteral("flip-chance"),
        QStringLiteral("A byte of each frame sent is inverted on the line with probability p."), QStringLiteral("p"));
    const QCommandLineOption strayChance(QStringLiteral("stray-chance"),
        QStringLiteral("Each frame sent is followed by a stray byte with probability p."), QStringLiteral("p"));
    const QCommandLineOption burstChance(QStringLiteral("burst-chance"),
        QStringLiteral("Each frame sent is followed by a burst of noise bytes with probability p."),
        QStringLiteral("p"));
    const QCommandLineOption pauseChance(QStringLiteral("pause-chance"),
        QStringLiteral("Each frame sent stops after a random byte with probability p, and its rest follows "
                       "after a pause of --pause-ms."), QStringLiteral("p"));
    const QCommandLineOption pauseMs(QStringLiteral("pause-ms"),
        QStringLiteral("The length of those pauses: ms, or a random time from min to max ms (default 41-400)."),
        QStringLiteral("ms|min-max"));
    const QCommandLineOption faultSeed(QStringLiteral("fault-seed"),
        QStringLiteral("Random seed of every random choice of the fault switches: which frames, which "
                       "bytes, values, pieces, pauses, delays and duplicates (default: a fixed one). The "
                       "same seed and the same requests give the same faults."), QStringLiteral("n"));
    const QCommandLineOption midFrame(QStringLiteral("start-mid-frame"),
        QStringLiteral("After each start, the stream begins with a sniffer report's bytes from byte k on\n"
                       "(8: a false frame start that reads as a master's device information)."), QStringLiteral("k"));
    const QCommandLineOption devices(QStringLiteral("devices"),
        QStringLiteral("Play n devices (1..%1), each on its own terminal. A --link-path or --image-dir\n"
                       "given for all of them gets -K appended for device K.").arg(kMaxDevices),
        QStringLiteral("n"));
    const QCommandLineOption device(QStringLiteral("device"),
        QStringLiteral("Options of device K alone, in one argument, on top of the others (may be repeated;\n"
                       "a value with spaces goes in double quotes)."),
        QStringLiteral("K:options"));

    p.addOptions({help, role, txu, noTxu, slot, repMode, link, mute, phantom, hiz, input, channel, signal, temp, wlan,
                  dsp, devType, period, reportMode, walk, walkSeed, linkRestore, logFile, quiet, linkPath, imageDir, split,
                  splitPause, merge, mergeHold, ackDelay, finishDelay, wire, dupAck, dupAckChance, hangAt, ignoreBad,
                  dropEvery, insertEvery, flipEvery, faultByte, faultValue, strayEvery, burstEvery, burstSize,
                  faultCode, dropChance, insertChance, flipChance, strayChance, burstChance, pauseChance, pauseMs,
                  faultSeed, midFrame, devices, device});

    if (!p.parse(arguments)) {
        *message = p.errorText();
        return ParseResult::Error;
    }
    if (p.isSet(help)) {
        *message = p.helpText();
        return ParseResult::Help;
    }
    if (!p.positionalArguments().isEmpty()) {
        *message = QStringLiteral("unexpected argument: %1").arg(p.positionalArguments().first());
        return ParseResult::Error;
    }

    if (!set && (p.isSet(devices) || p.isSet(device))) {
        *message = QStringLiteral("--devices and --device cannot be given for one device");
        return ParseResult::Error;
    }

    DeviceOptions o = *options;
    auto bad = [message](const QCommandLineOption &opt, const QString &value) {
        *message = QStringLiteral("invalid value for --%1: %2").arg(opt.names().first(), value);
        return ParseResult::Error;
    };
    auto number = [&p](const QCommandLineOption &opt, int min, int max, int *out) {
        return !p.isSet(opt) || toNumber(p.value(opt), min, max, out);
    };

    if (p.isSet(role)) {
        const QString r = p.value(role).toLower();
        if (r == QLatin1String("master")) {
            o.role = Role::Master;
            o.txu = true;
        } else if (r == QLatin1String("txu-client")) {
            o.role = Role::Client;
            o.txu = true;
        } else if (r == QLatin1String("rxu-client")) {
            o.role = Role::Client;
            o.txu = false;
        } else if (r == QLatin1String("repeater")) {
            o.role = Role::Repeater;
            o.txu = false;
        } else if (r == QLatin1String("unknown")) {
            o.role = Role::Unknown;
            o.txu = false;
        } else {
            return bad(role, p.value(role));
        }
    }
    if (p.isSet(txu) && p.isSet(noTxu)) {
        *message = QStringLiteral("--txu and --no-txu exclude each other");
        return ParseResult::Error;
    }
    if (p.isSet(txu))
        o.txu = true;
    if (p.isSet(noTxu))
        o.txu = false;
    o.repeaterMode = o.repeaterMode || p.isSet(repMode);
    o.muted = o.muted || p.isSet(mute);
    o.phantom = o.phantom || p.isSet(phantom);
    o.hiZ = o.hiZ || p.isSet(hiz);
    o.wirePacing = o.wirePacing || p.isSet(wire);
    o.signalWalk = o.signalWalk || p.isSet(walk);
    o.ignoreMalformed = o.ignoreMalformed || p.isSet(ignoreBad);
    if (p.isSet(quiet))
        o.logFrames = false;

    int v = 0;
    struct IntOption
    {
        const QCommandLineOption &opt;
        int min;
        int max;
        int *target;
    };
    const IntOption ints[] = {
        {slot, 0, 15, &o.slot},
        {link, 0, 255, &o.linkState},
        {channel, 0, 255, &o.channel},
        {temp, -32768, 32767, &o.temperature},
        {signal, -32768, -1, &o.signalLevel},
        {devType, 0, 255, &o.deviceType},
        {period, 1, 3600000, &o.reportPeriodMs},
        {reportMode, 0, 3, &o.reportModeAtStart},
        {walkSeed, 0, 2147483647, &o.walkSeed},
        {linkRestore, 0, 3600000, &o.linkRestoreMs},
        {splitPause, 0, 60000, &o.splitPauseMs},
        {merge, 1, 1000, &o.mergeCount},
        {mergeHold, 0, 60000, &o.mergeHoldMs},
        {dupAck, 0, 1 << 30, &o.duplicateAckAt},
        {hangAt, 0, 1 << 30, &o.hangUpAt},
        {dropEvery, 1, 1 << 30, &o.dropEvery},
        {insertEvery, 1, 1 << 30, &o.insertEvery},
        {flipEvery, 1, 1 << 30, &o.flipEvery},
        {faultByte, 0, kFrameSize - 1, &o.faultByte},
        {faultValue, 0, 255, &o.faultValue},
        {strayEvery, 1, 1 << 30, &o.strayEvery},
        {burstEvery, 1, 1 << 30, &o.burstEvery},
        {burstSize, 1, 64, &o.burstSize},
        {faultCode, 0, 255, &o.faultCode},
        {midFrame, 0, kFrameSize - 1, &o.startMidFrame},
    };
    for (const IntOption &i : ints) {
        if (!number(i.opt, i.min, i.max, i.target))
            return bad(i.opt, p.value(i.opt));
    }
    struct RangeOption
    {
        const QCommandLineOption &opt;
        int min;
        int max;
        int *low;
        int *high;
    };
    const RangeOption ranges[] = {
        {split, 1, 1 << 20, &o.splitSize, &o.splitSizeMax},
        {ackDelay, 0, 3600000, &o.ackDelayMs, &o.ackDelayMaxMs},
        {finishDelay, 0, 3600000, &o.finishDelayMs, &o.finishDelayMaxMs},
        {pauseMs, 0, 60000, &o.pauseMinMs, &o.pauseMaxMs},
    };
    for (const RangeOption &r : ranges) {
        if (p.isSet(r.opt) && !toRange(p.value(r.opt), r.min, r.max, r.low, r.high))
            return bad(r.opt, p.value(r.opt));
    }
    struct ChanceOption
    {
        const QCommandLineOption &opt;
        double *target;
    };
    const ChanceOption chances[] = {
        {dupAckChance, &o.duplicateAckChance}, {dropChance, &o.dropChance},   {insertChance, &o.insertChance},
        {flipChance, &o.flipChance},           {strayChance, &o.strayChance}, {burstChance, &o.burstChance},
        {pauseChance, &o.pauseChance},
    };
    for (const ChanceOption &c : chances) {
        if (p.isSet(c.opt) && !toChance(p.value(c.opt), c.target))
            return bad(c.opt, p.value(c.opt));
    }
    if (p.isSet(faultSeed)) {
        bool ok = false;
        const uint seed = p.value(faultSeed).toUInt(&ok, 0);
        if (!ok)
            return bad(faultSeed, p.value(faultSeed));
        o.faultSeed = seed;
    }
    if (!number(input, 0, 255, &v))
        return bad(input, p.value(input));
    if (p.isSet(input))
        o.input = quint8(v);
    if (!number(wlan, 0, 65535, &v))
        return bad(wlan, p.value(wlan));
    if (p.isSet(wlan))
        o.wlanVersion = quint16(v);
    if (p.isSet(dsp)) {
        const QStringList parts = p.value(dsp).split(QLatin1Char('.'));
        int maj = 0;
        int min = 0;
        if (parts.size() != 2 || !toNumber(parts.at(0), 0, 255, &maj) || !toNumber(parts.at(1), 0, 255, &min))
            return bad(dsp, p.value(dsp));
        o.dspMajor = quint8(maj);
        o.dspMinor = quint8(min);
    }
    if (p.isSet(logFile))
        o.logPath = p.value(logFile);
    if (p.isSet(linkPath))
        o.symlinkPath = p.value(linkPath);
    if (p.isSet(imageDir))
        o.imageDir = p.value(imageDir);
    if (set) {
        if (!number(devices, 1, kMaxDevices, &set->count))
            return bad(devices, p.value(devices));
        set->own = p.values(device);
    }

    *options = o;
    return ParseResult::Run;
}

} // namespace

ParseResult parseArguments(const QStringList &arguments, DeviceOptions *options, QString *message)
{
    return parseInto(arguments, options, message, nullptr);
}

ParseResult parseDevices(const QStringList &arguments, QList<DeviceOptions> *devices, QString *message)
{
    DeviceOptions common;
    DeviceSet set;
    const ParseResult result = parseInto(arguments, &common, message, &set);
    if (result != ParseResult::Run)
        return result;

    QList<DeviceOptions> all;
    for (int k = 1; k <= set.count; ++k) {
        DeviceOptions o = common;
        if (set.count > 1) {
            // Each device needs its own symlink and image folder, and says in
            // the log which one speaks.
            const QString suffix = QStringLiteral("-%1").arg(k);
            if (!o.symlinkPath.isEmpty())
                o.symlinkPath += suffix;
            if (!o.imageDir.isEmpty())
                o.imageDir += suffix;
            o.logTag = QString::number(k);
        }
        all.append(o);
    }
    for (const QString &own : set.own) {
        const int colon = own.indexOf(QLatin1Char(':'));
        int k = 0;
        if (colon < 0 || !toNumber(own.left(colon), 1, set.count, &k)) {
            *message = QStringLiteral("--device takes K:OPTIONS with K from 1 to %1, not \"%2\"").arg(set.count).arg(own);
            return ParseResult::Error;
        }
        const QStringList words = QStringList{arguments.value(0)} + QProcess::splitCommand(own.mid(colon + 1));
        QString why;
        const ParseResult r = parseInto(words, &all[k - 1], &why, nullptr);
        if (r != ParseResult::Run) {
            *message = r == ParseResult::Help ? why : QStringLiteral("--device %1: %2").arg(k).arg(why);
            return r;
        }
    }
    *devices = all;
    return ParseResult::Run;
}

// ---- console ----

QString runConsoleLine(const QList<Device *> &devices, const QString &line)
{
    if (devices.size() == 1)
        return devices.first()->runCommand(line);
    const QString simple = line.simplified();
    if (simple.isEmpty())
        return QString();
    const QString first = simple.section(QLatin1Char(' '), 0, 0);
    if (first == QLatin1String("help") || first == QLatin1String("?")) {
        return Device::commandHelp()
            + QStringLiteral("\nK COMMAND        the command for device K alone (1..%1); without K, for every device")
                  .arg(devices.size());
    }
    bool numbered = false;
    const int k = first.toInt(&numbered);
    if (numbered && (k < 1 || k > devices.size()))
        return QStringLiteral("error: there is no device %1; the devices are 1 to %2").arg(k).arg(devices.size());
    const QString command = numbered ? simple.section(QLatin1Char(' '), 1) : simple;
    QStringList answers;
    for (int i = numbered ? k : 1; i <= (numbered ? k : devices.size()); ++i) {
        const QString answer = devices.at(i - 1)->runCommand(command);
        if (!answer.isEmpty())
            answers.append(QStringLiteral("%1: %2").arg(i).arg(answer));
    }
    return answers.join(QLatin1Char('\n'));
}

bool isQuitCommand(const QString &line)
{
    const QString word = line.simplified().toLower();
    return word == QLatin1String("quit") || word == QLatin1String("exit");
}

namespace {
// How often a console in the background looks whether it has been brought to
// the foreground.
constexpr int kBackgroundPollMs = 250;
} // namespace

Console::Console(const QList<Device *> &devices, int fd, QObject *parent)
    : QObject(parent)
    , m_devices(devices)
    , m_fd(fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return;
    m_terminal = ::isatty(fd) == 1;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &Console::onReadable);
    m_backgroundWait = new QTimer(this);
    m_backgroundWait->setSingleShot(true);
    m_backgroundWait->setInterval(kBackgroundPollMs);
    connect(m_backgroundWait, &QTimer::timeout, m_notifier, [this] { m_notifier->setEnabled(true); });
}

bool Console::inBackground() const
{
    // Not our controlling terminal (tcgetpgrp fails): no job control applies.
    const pid_t foreground = ::tcgetpgrp(m_fd);
    return m_terminal && foreground >= 0 && foreground != ::getpgrp();
}

void Console::onReadable()
{
    // What is typed belongs to the job in the foreground; the console listens
    // again once it is brought there (fg).
    if (inBackground()) {
        m_notifier->setEnabled(false);
        m_backgroundWait->start();
        return;
    }
    // One read per notification: the descriptor is readable, so it does not
    // block, and it stays in blocking mode for whoever shares it.
    char buf[1024];
    ssize_t n;
    do {
        n = ::read(m_fd, buf, sizeof buf);
    } while (n < 0 && errno == EINTR);
    if (n < 0 && errno == EAGAIN)
        return;
    if (n > 0) {
        m_pending.append(buf, int(n));
    } else {
        // End of input, or input that cannot be read any more: nothing more
        // will come.
        m_notifier->setEnabled(false);
        if (!m_pending.isEmpty())
            m_pending.append('\n');
    }
    int nl;
    while ((nl = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromLocal8Bit(m_pending.left(nl));
        m_pending.remove(0, nl + 1);
        if (isQuitCommand(line)) {
            m_notifier->setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        const QString out = runConsoleLine(m_devices, line);
        if (!out.isEmpty()) {
            std::fputs(out.toLocal8Bit().constData(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
        }
    }
    // Ctrl+D at the terminal ends the simulator as it ends a shell.
    if (n == 0 && m_terminal)
        QCoreApplication::quit();
}

// ---- termination signals ----

namespace {

int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char c = 1;
    const int saved = errno;
    (void)!::write(g_signalPipe[1], &c, 1);
    errno = saved;
}

} // namespace

bool quitOnTerminationSignals()
{
    if (g_signalPipe[0] < 0) {
        if (::pipe(g_signalPipe) != 0)
            return false;
        for (int fd : g_signalPipe) {
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        }
    }
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, []() {
        char buf[16];
        while (::read(g_signalPipe[0], buf, sizeof buf) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction sa = {};
    sa.sa_handler = onTerminationSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
    return true;
}

} // namespace sim
