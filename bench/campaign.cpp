#include "campaign.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <random>

namespace campaign {

namespace {

constexpr int RPL_FW_ACK = 92;
constexpr int RPL_FW_DONE = 94;
constexpr int RPL_DEVICE_TYPE = 96;
constexpr int RPL_VERSION = 63;
constexpr int CMD_FW_DATA = 91;
constexpr int RPL_LINK_STATE = 9;
constexpr int RPL_AUDIO = 21;
constexpr int RPL_DEVICE_INFO = 42;
constexpr int RPL_CHANNEL = 45;
constexpr int RPL_PHANTOM = 88;
constexpr int RPL_MUTE = 99;
constexpr int RPL_SIGNAL = 120;

QString chance_text(double p)
{
    return QString::number(p, 'f', 4);
}

QString percent_text(double p)
{
    return QString::number(p * 100, 'f', 1) + QStringLiteral(" %");
}

// The text of a log line after its time stamp and the device's tag.
QString log_text(const QString &line)
{
    QString text = line.section(QLatin1Char(' '), 1);
    if (text.startsWith(QLatin1Char('['))) {
        const int end = text.indexOf(QStringLiteral("] "));
        if (end > 0)
            text = text.mid(end + 2);
    }
    return text;
}

// A frame line's description: "RX 8d 05 ...  CMD 95 unit 5 (device type)"
// gives "CMD 95 unit 5 (device type)".
QString frame_description(const QString &text)
{
    const int gap = text.indexOf(QStringLiteral("  "));
    return gap < 0 ? text : text.mid(gap + 2);
}

QString last_line(const QString &text)
{
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last().trimmed();
}

} // namespace

// ---- the mix ----

QStringList Mix::simulator_arguments() const
{
    QStringList a{QStringLiteral("--fault-seed"), QString::number(seed)};
    if (fault_free)
        return a;
    if (!given_arguments.isEmpty())
        return a + given_arguments;
    if (pause_chance > 0) {
        a << QStringLiteral("--pause-chance") << chance_text(pause_chance) << QStringLiteral("--pause-ms")
          << QStringLiteral("%1-%2").arg(pause_min_ms).arg(pause_max_ms);
    }
    if (piece_max > 0) {
        a << QStringLiteral("--split") << QStringLiteral("1-%1").arg(piece_max) << QStringLiteral("--split-pause")
          << QString::number(piece_pause_ms);
    }
    const QList<QPair<const char *, double>> chances = {
        {"--drop-chance", drop_chance},   {"--insert-chance", insert_chance},
        {"--flip-chance", flip_chance},   {"--stray-chance", stray_chance},
        {"--burst-chance", burst_chance}, {"--dup-ack-chance", duplicate_ack_chance},
    };
    for (const auto &c : chances) {
        if (c.second > 0)
            a << QString::fromLatin1(c.first) << chance_text(c.second);
    }
    if (ack_delay_max_ms > 0)
        a << QStringLiteral("--ack-delay") << QStringLiteral("0-%1").arg(ack_delay_max_ms);
    if (finish_delay_max_ms > 0)
        a << QStringLiteral("--finish-delay") << QStringLiteral("0-%1").arg(finish_delay_max_ms);
    if (report_mode > 0) {
        a << QStringLiteral("--report-mode") << QString::number(report_mode) << QStringLiteral("--report-period")
          << QString::number(report_period_ms);
    }
    return a;
}

QStringList Mix::describe() const
{
    QStringList d;
    if (fault_free)
        return {QStringLiteral("no faults")};
    if (!given_arguments.isEmpty())
        return {QStringLiteral("simulator options: ") + given_arguments.join(QLatin1Char(' '))};
    if (pause_chance > 0) {
        d << QStringLiteral("pauses inside replies: %1 of replies, %2 to %3 ms")
                 .arg(percent_text(pause_chance)).arg(pause_min_ms).arg(pause_max_ms);
    }
    if (piece_max > 0)
        d << QStringLiteral("replies in pieces of 1 to %1 bytes, %2 ms apart").arg(piece_max).arg(piece_pause_ms);
    if (drop_chance > 0 || insert_chance > 0 || flip_chance > 0) {
        d << QStringLiteral("a byte of a reply lost in %1, inserted in %2, inverted in %3 of replies")
                 .arg(percent_text(drop_chance), percent_text(insert_chance), percent_text(flip_chance));
    }
    if (stray_chance > 0 || burst_chance > 0) {
        d << QStringLiteral("a stray byte after %1, a burst of noise after %2 of replies")
                 .arg(percent_text(stray_chance), percent_text(burst_chance));
    }
    if (duplicate_ack_chance > 0)
        d << QStringLiteral("%1 of chunks acknowledged twice").arg(percent_text(duplicate_ack_chance));
    if (ack_delay_max_ms > 0 || finish_delay_max_ms > 0) {
        d << QStringLiteral("a slow device: acknowledgements 0 to %1 ms late, the finish 0 to %2 ms")
                 .arg(ack_delay_max_ms).arg(finish_delay_max_ms);
    }
    if (report_mode > 0) {
        d << QStringLiteral("%1 reports every %2 ms through the update")
                 .arg(report_mode == 1 ? QStringLiteral("signal") : QStringLiteral("sniffer"))
                 .arg(report_period_ms);
    }
    QStringList stops_text;
    for (const Stop &s : stops)
        stops_text << QStringLiteral("%1 ms at %2 ms").arg(s.ms).arg(s.at_ms);
    if (!stops_text.isEmpty())
        d << QStringLiteral("the tool stopped for ") + stops_text.join(QStringLiteral(", "));
    if (d.isEmpty())
        d << QStringLiteral("no faults drawn");
    return d;
}

Mix draw_mix(quint32 seed)
{
    // A stream of its own, apart from those the simulator draws from the seed.
    std::seed_seq sequence{seed, 0x6d6978u};
    std::mt19937 random(sequence);
    const auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; };
    const auto real = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
    const auto whole = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

    // Each kind of fault is drawn whether it is there or not, so that one
    // kind's strength does not change with another's presence.
    Mix m;
    m.seed = seed;
    const bool pauses = chance(0.6);
    const double pause_chance = real(0.02, 0.08);
    const int pause_max = whole(100, 500);
    if (pauses) {
        m.pause_chance = pause_chance;
        m.pause_max_ms = pause_max;
    }
    const bool pieces = chance(0.5);
    const int piece_max = whole(1, 64);
    const int piece_pause = whole(0, 1);
    if (pieces) {
        m.piece_max = piece_max;
        // A frame takes under 10 ms on the wire: pieces 1 ms apart only where
        // there are few of them.
        m.piece_pause_ms = piece_max >= 16 ? piece_pause : 0;
    }
    const bool damage = chance(0.6);
    const double drop = real(0, 0.04), insert = real(0, 0.04), flip = real(0, 0.04);
    if (damage) {
        m.drop_chance = drop;
        m.insert_chance = insert;
        m.flip_chance = flip;
    }
    const bool noise = chance(0.4);
    const double stray = real(0, 0.03), burst = real(0, 0.02);
    if (noise) {
        m.stray_chance = stray;
        m.burst_chance = burst;
    }
    const bool duplicates = chance(0.3);
    const double duplicate = real(0.01, 0.05);
    if (duplicates)
        m.duplicate_ack_chance = duplicate;
    const bool stops = chance(0.6);
    const int count = whole(1, 3);
    QList<Mix::Stop> drawn;
    for (int i = 0; i < 3; ++i)
        drawn.append({whole(0, 1500), whole(30, 500)});
    if (stops) {
        m.stops = drawn.mid(0, count);
        std::sort(m.stops.begin(), m.stops.end(), [](const Mix::Stop &a, const Mix::Stop &b) { return a.at_ms < b.at_ms; });
    }
    const bool slow = chance(0.3);
    const int ack_delay = whole(1, 10), finish_delay = whole(0, 500);
    if (slow) {
        m.ack_delay_max_ms = ack_delay;
        m.finish_delay_max_ms = finish_delay;
    }
    const bool reports = chance(0.4);
    const int report_kind = whole(1, 4);
    if (reports) {
        m.report_mode = report_kind <= 2 ? 1 : report_kind - 1;
        // A report every 10 ms triples the frames on the line, and a pause
        // holds back every frame after it: as many pauses a second as
        // without reports, and pieces without pauses between them, or the
        // line would be held up longer than it runs.
        m.pause_chance /= 5;
        m.piece_pause_ms = 0;
    }
    return m;
}

Mix fault_free_mix()
{
    Mix m;
    m.fault_free = true;
    return m;
}

Mix given_mix(const QStringList &arguments)
{
    Mix m;
    m.given_arguments = arguments;
    return m;
}

// ---- the simulator's log ----

bool update_acts_on(int reply_code)
{
    return reply_code == RPL_FW_ACK || reply_code == RPL_DEVICE_TYPE || reply_code == RPL_VERSION
           || reply_code == RPL_FW_DONE;
}

bool window_acts_on(int reply_code)
{
    switch (reply_code) {
    case RPL_LINK_STATE:
    case RPL_AUDIO:
    case RPL_DEVICE_INFO:
    case RPL_CHANNEL:
    case RPL_PHANTOM:
    case RPL_MUTE:
    case RPL_SIGNAL:
        return true;
    default:
        return false;
    }
}

bool fault_hits_meaningful(const QString &line, ActsOn acts_on)
{
    static const QRegularExpression fault(
        QStringLiteral("line fault in RPL (\\d+) unit \\d+.*, meaningful bytes 0-(\\d+): (.*)$"));
    static const QRegularExpression at(
        QStringLiteral("\\bbyte (\\d+) (?:dropped|inverted)\\b|\\binserted before byte (\\d+)\\b"));
    const QRegularExpressionMatch m = fault.match(line);
    if (!m.hasMatch() || !acts_on(m.captured(1).toInt()))
        return false;
    const int last = m.captured(2).toInt();
    // Each fault's byte counts in the frame as the faults before it left it;
    // those before it in the padding did not move the meaningful bytes.
    auto it = at.globalMatch(m.captured(3));
    while (it.hasNext()) {
        const QRegularExpressionMatch hit = it.next();
        const int byte = (hit.captured(1).isEmpty() ? hit.captured(2) : hit.captured(1)).toInt();
        if (byte <= last)
            return true;
    }
    return false;
}

SimLog read_sim_log(const QString &text, ActsOn acts_on)
{
    static const QRegularExpression pause(QStringLiteral("(\\d+) ms pause after byte"));
    SimLog log;
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    int last_request = -1;
    QStringList texts;
    for (const QString &line : lines)
        texts.append(log_text(line));
    for (int i = 0; i < texts.size(); ++i) {
        const QString &t = texts.at(i);
        if (t.startsWith(QLatin1String("line fault in ")) || t.startsWith(QLatin1String("acknowledging firmware"))) {
            log.faults.append(t);
            if (fault_hits_meaningful(t, acts_on)) {
                log.hit_meaningful = true;
                log.hits.append(t);
            }
            auto it = pause.globalMatch(t);
            while (it.hasNext())
                log.paused_ms += it.next().captured(1).toInt();
        } else if (t.startsWith(QLatin1String("firmware: "))) {
            log.violations.append(t.mid(10));
        } else if (t.startsWith(QLatin1String("RX "))) {
            last_request = i;
            if (frame_description(t).startsWith(QStringLiteral("CMD %1 ").arg(CMD_FW_DATA)))
                ++log.data_frames;
        }
    }
    static const QRegularExpression meaning(QStringLiteral(", meaningful bytes 0-\\d+"));
    int requests = 0;
    for (int i = texts.size() - 1; i >= 0 && requests < 2; --i) {
        const QString &t = texts.at(i);
        if (t.startsWith(QLatin1String("RX ")))
            ++requests;
        else if (t.startsWith(QLatin1String("line fault in ")) || t.startsWith(QLatin1String("acknowledging firmware")))
            log.recent_faults.prepend(QString(t).remove(QStringLiteral("line fault in ")).remove(meaning));
    }
    if (last_request >= 0) {
        log.last_request = frame_description(texts.at(last_request));
        log.last_exchange.append(QStringLiteral("asked ") + frame_description(texts.at(last_request)));
        for (int i = last_request + 1; i < texts.size(); ++i) {
            const QString &t = texts.at(i);
            if (t.startsWith(QLatin1String("TX ")))
                log.last_exchange.append(QStringLiteral("sent ") + frame_description(t));
            else if (t.startsWith(QLatin1String("line fault in ")))
                log.last_exchange.append(t.mid(5));
            else if (!t.startsWith(QLatin1String("skipped ")))
                log.last_exchange.append(t);
        }
    }
    return log;
}

// ---- outcomes ----

const char *outcome_name(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Identical: return "byte-identical";
    case Outcome::HonestFailure: return "honest failure";
    case Outcome::OtherFailure: return "failure without its words";
    case Outcome::FalseSuccess: return "false success";
    case Outcome::Hang: return "hang";
    case Outcome::Crash: return "crash";
    }
    return "?";
}

QList<QPair<int, QByteArray>> images_in(const QString &dir)
{
    static const QRegularExpression name(QStringLiteral("^unit(\\d+)-(\\d+)\\.bin$"));
    QList<QPair<int, QPair<int, QByteArray>>> found;
    const QStringList files = QDir(dir).entryList(QDir::Files);
    for (const QString &file : files) {
        const QRegularExpressionMatch m = name.match(file);
        if (!m.hasMatch())
            continue;
        QFile f(QDir(dir).filePath(file));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        found.append({m.captured(2).toInt(), {m.captured(1).toInt(), f.readAll()}});
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first < b.first : a.second.first < b.second.first;
    });
    QList<QPair<int, QByteArray>> images;
    for (const auto &f : found)
        images.append(f.second);
    return images;
}

bool images_identical(const QList<QPair<int, QByteArray>> &written, const QMap<int, QByteArray> &expected,
                      QString *why)
{
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        bool seen = false;
        for (const auto &image : written)
            seen = seen || image.first == it.key();
        if (!seen) {
            *why = QStringLiteral("the device holds no image for unit %1").arg(it.key());
            return false;
        }
    }
    for (const auto &image : written) {
        if (!expected.contains(image.first)) {
            *why = QStringLiteral("the device got an image for unit %1, which the update has none for").arg(image.first);
            return false;
        }
        const QByteArray &want = expected.value(image.first);
        if (image.second != want) {
            int first = 0;
            while (first < image.second.size() && first < want.size() && image.second.at(first) == want.at(first))
                ++first;
            *why = QStringLiteral("the image for unit %1 differs from the package's (%2 bytes, not %3; first "
                                  "difference at byte %4)")
                       .arg(image.first).arg(image.second.size()).arg(want.size()).arg(first);
            return false;
        }
    }
    return true;
}

Outcome classify(const Ending &ending, bool identical, int data_frames, QString *why)
{
    const QString said = last_line(ending.words);
    if (ending.killed_for_hanging) {
        *why = QStringLiteral("it did not end; its last words: \"%1\"").arg(said);
        return Outcome::Hang;
    }
    if (ending.killed_by_signal) {
        *why = QStringLiteral("killed by signal %1").arg(ending.signal);
        return Outcome::Crash;
    }
    const QList<int> documented = {0, 1, 2, 3, 130};
    if (!documented.contains(ending.status)) {
        *why = QStringLiteral("exit status %1, which the tool does not document").arg(ending.status);
        return Outcome::Crash;
    }
    const bool claims_success = ending.words.contains(QLatin1String("completed successfully"));
    if (ending.status == 0) {
        if (identical) {
            why->clear();
            return Outcome::Identical;
        }
        if (why->isEmpty())
            *why = QStringLiteral("the images are not the package's");
        *why = QStringLiteral("exit 0, but ") + *why;
        return Outcome::FalseSuccess;
    }
    if (claims_success) {
        *why = QStringLiteral("exit %1, but it says the update completed successfully").arg(ending.status);
        return Outcome::FalseSuccess;
    }
    const bool not_complete = ending.words.contains(QLatin1String("not complete"));
    const bool nothing_sent = ending.words.contains(QLatin1String("nothing was sent"));
    if (!not_complete && !nothing_sent) {
        *why = QStringLiteral("exit %1 without \"not complete\" or \"nothing was sent\": \"%2\"").arg(ending.status).arg(said);
        return Outcome::OtherFailure;
    }
    if (nothing_sent && !not_complete && data_frames > 0) {
        *why = QStringLiteral("exit %1 saying nothing was sent, but the device got %2 chunks: \"%3\"")
                   .arg(ending.status).arg(data_frames).arg(said);
        return Outcome::OtherFailure;
    }
    *why = QStringLiteral("exit %1: \"%2\"").arg(ending.status).arg(said);
    return Outcome::HonestFailure;
}

Outcome classify_dialog(const DialogEnding &ending, bool identical, int data_frames, QString *why)
{
    QStringList said;
    for (const auto &box : ending.boxes)
        said << QStringLiteral("%1: %2").arg(box.first, box.second);
    if (!ending.module_line.isEmpty())
        said << QStringLiteral("module line: ") + ending.module_line;
    const QString words = said.join(QStringLiteral("; "));
    if (ending.killed_for_hanging) {
        *why = QStringLiteral("the dialog did not end; it showed: \"%1\"").arg(words);
        return Outcome::Hang;
    }
    if (ending.killed_by_signal || ending.status != 0) {
        *why = ending.killed_by_signal ? QStringLiteral("killed by signal %1").arg(ending.signal)
                                       : QStringLiteral("the run ended with status %1").arg(ending.status);
        return Outcome::Crash;
    }
    bool completion = false;
    bool refused = false;
    for (const auto &box : ending.boxes) {
        completion = completion || box.first == QLatin1String("Firmware Update");
        refused = refused || box.first == QLatin1String("Version Mismatch");
    }
    if (completion) {
        if (identical) {
            why->clear();
            return Outcome::Identical;
        }
        if (why->isEmpty())
            *why = QStringLiteral("the images are not the package's");
        *why = QStringLiteral("the completion box, but ") + *why;
        return Outcome::FalseSuccess;
    }
    const bool not_complete = words.contains(QLatin1String("not complete"));
    const bool nothing_sent = words.contains(QLatin1String("nothing was sent")) || refused;
    if (!not_complete && !nothing_sent) {
        *why = QStringLiteral("no box or module line says \"not complete\" or \"nothing was sent\": \"%1\"").arg(words);
        return Outcome::OtherFailure;
    }
    if (nothing_sent && !not_complete && data_frames > 0) {
        *why = QStringLiteral("it says nothing was sent, but the device got %1 chunks: \"%2\"").arg(data_frames).arg(words);
        return Outcome::OtherFailure;
    }
    *why = words;
    return Outcome::HonestFailure;
}

// ---- many runs ----

double percentile(QList<double> values, double p)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    // The nearest rank.
    const int rank = qBound(1, int(std::ceil(p / 100.0 * values.size())), int(values.size()));
    if (p == 50 && values.size() % 2 == 0)
        return (values.at(values.size() / 2 - 1) + values.at(values.size() / 2)) / 2;
    return values.at(rank - 1);
}

void Summary::add(const RunRecord &run)
{
    m_runs.append(run);
}

void Summary::add_fault_free(const RunRecord &run)
{
    m_fault_free.append(run);
}

double Summary::base_seconds() const
{
    QList<double> times;
    for (const RunRecord &r : m_fault_free) {
        if (r.outcome == Outcome::Identical)
            times.append(r.seconds);
    }
    return percentile(times, 50);
}

double Summary::extra_seconds(const RunRecord &run) const
{
    return run.seconds - base_seconds();
}

QList<const RunRecord *> Summary::failing() const
{
    QList<const RunRecord *> out;
    for (const RunRecord &r : m_fault_free) {
        if (r.outcome != Outcome::Identical)
            out.append(&r);
    }
    for (const RunRecord &r : m_runs) {
        const bool spared_and_lost = !r.log.hit_meaningful && r.outcome != Outcome::Identical;
        if (spared_and_lost || (r.outcome != Outcome::Identical && r.outcome != Outcome::HonestFailure))
            out.append(&r);
    }
    return out;
}

QString Summary::table() const
{
    QString t;
    int count[3][OUTCOMES] = {};
    int total[3] = {};
    for (const RunRecord &r : m_runs) {
        const int side = r.log.hit_meaningful ? 2 : 1;
        for (int column : {0, side}) {
            ++count[column][int(r.outcome)];
            ++total[column];
        }
    }
    const auto cell = [&](int column, int outcome) {
        const int n = count[column][outcome];
        return total[column] ? QStringLiteral("%1 (%2 %)").arg(n).arg(100.0 * n / total[column], 0, 'f', 1)
                             : QStringLiteral("–");
    };
    t += QStringLiteral("| Outcome | All runs | Faults spared the replies' meaningful bytes | Faults hit them |\n");
    t += QStringLiteral("|---|---|---|---|\n");
    for (int o = 0; o < OUTCOMES; ++o) {
        t += QStringLiteral("| %1 | %2 | %3 | %4 |\n")
                 .arg(QString::fromLatin1(outcome_name(Outcome(o))), cell(0, o), cell(1, o), cell(2, o));
    }
    t += QStringLiteral("| **runs** | %1 | %2 | %3 |\n\n").arg(total[0]).arg(total[1]).arg(total[2]);

    QList<double> extra[3];
    QList<double> injected;
    for (const RunRecord &r : m_runs) {
        if (r.outcome != Outcome::Identical)
            continue;
        extra[0].append(extra_seconds(r));
        extra[r.log.hit_meaningful ? 2 : 1].append(extra_seconds(r));
        injected.append((r.log.paused_ms + r.stopped_ms) / 1000.0);
    }
    const auto seconds = [](const QList<double> &values, double p) {
        return values.isEmpty() ? QStringLiteral("–") : QStringLiteral("%1 s").arg(percentile(values, p), 0, 'f', 2);
    };
    t += QStringLiteral("Fault-free update: %1 s (median of %2 runs).\n\n")
             .arg(base_seconds(), 0, 'f', 2).arg(m_fault_free.size());
    t += QStringLiteral("| Extra time of a recovered run | All | Spared | Hit |\n|---|---|---|---|\n");
    t += QStringLiteral("| runs | %1 | %2 | %3 |\n").arg(extra[0].size()).arg(extra[1].size()).arg(extra[2].size());
    t += QStringLiteral("| median | %1 | %2 | %3 |\n").arg(seconds(extra[0], 50), seconds(extra[1], 50), seconds(extra[2], 50));
    t += QStringLiteral("| 90th percentile | %1 | %2 | %3 |\n").arg(seconds(extra[0], 90), seconds(extra[1], 90), seconds(extra[2], 90));
    t += QStringLiteral("| of which pauses and stops, median | %1 | | |\n\n").arg(seconds(injected, 50));

    const int bad = count[0][int(Outcome::FalseSuccess)] + count[0][int(Outcome::Hang)] + count[0][int(Outcome::Crash)];
    const int spared_ok = count[1][int(Outcome::Identical)];
    const double median_extra = percentile(extra[0], 50);
    const auto yes = [](bool met) { return met ? QStringLiteral("yes") : QStringLiteral("**no**"); };
    t += QStringLiteral("| Goal | Today | Met |\n|---|---|---|\n");
    t += QStringLiteral("| false successes, hangs and crashes: 0 | %1 | %2 |\n").arg(bad).arg(yes(bad == 0));
    t += QStringLiteral("| runs whose faults spared the meaningful bytes byte-identical: 100 % | %1 of %2 (%3 %) | %4 |\n")
             .arg(spared_ok).arg(total[1]).arg(total[1] ? 100.0 * spared_ok / total[1] : 100.0, 0, 'f', 1)
             .arg(yes(spared_ok == total[1]));
    t += QStringLiteral("| median extra time of a recovered run: at most 1 s | %1 | %2 |\n")
             .arg(seconds(extra[0], 50)).arg(yes(!extra[0].isEmpty() && median_extra <= 1.0));

    QList<quint32> spared_list;
    QList<quint32> bad_list;
    for (const RunRecord &r : m_runs) {
        if (!r.log.hit_meaningful && r.outcome != Outcome::Identical)
            spared_list << r.mix.seed;
        if (r.outcome != Outcome::Identical && r.outcome != Outcome::HonestFailure)
            bad_list << r.mix.seed;
    }
    const auto seed_text = [](QList<quint32> seeds) {
        std::sort(seeds.begin(), seeds.end());
        QStringList text;
        for (quint32 s : seeds)
            text << QString::number(s);
        return text;
    };
    const QStringList spared_seeds = seed_text(spared_list);
    const QStringList bad_seeds = seed_text(bad_list);
    t += QStringLiteral("\nNot byte-identical although the faults spared the meaningful bytes: %1\n")
             .arg(spared_seeds.isEmpty() ? QStringLiteral("none") : QStringLiteral("seeds ") + spared_seeds.join(QStringLiteral(", ")));
    t += QStringLiteral("False successes, hangs, crashes and failures without their words: %1\n")
             .arg(bad_seeds.isEmpty() ? QStringLiteral("none") : QStringLiteral("seeds ") + bad_seeds.join(QStringLiteral(", ")));
    for (const RunRecord &r : m_fault_free) {
        if (r.outcome != Outcome::Identical)
            t += QStringLiteral("A fault-free run did not end byte-identical: %1 (%2)\n").arg(outcome_name(r.outcome), r.why);
    }
    return t;
}

QString report(const RunRecord &run, double base_seconds)
{
    QString t;
    t += QStringLiteral("Seed %1\n").arg(run.mix.seed);
    for (const QString &line : run.mix.describe())
        t += QStringLiteral("  mix: %1\n").arg(line);
    t += QStringLiteral("  simulator options: %1\n").arg(run.mix.simulator_arguments().join(QLatin1Char(' ')));
    t += QStringLiteral("Faults the simulator made (%1; %2):\n")
             .arg(run.log.faults.size())
             .arg(run.log.hit_meaningful ? QStringLiteral("some hit the meaningful bytes of a reply the update acts on")
                                         : QStringLiteral("they spared the meaningful bytes"));
    for (const QString &line : run.log.faults)
        t += QStringLiteral("  %1%2\n").arg(run.log.hits.contains(line) ? QStringLiteral("HIT ") : QString(), line);
    for (const QString &v : run.log.violations)
        t += QStringLiteral("  the device found: %1\n").arg(v);
    t += QStringLiteral("The tool's output:\n");
    // Its progress lines, but the last of a row, say no more than its steps.
    static const QRegularExpression progress(QStringLiteral("^(WLAN|DSP) \\d+% \\("));
    const QStringList output = run.tool_output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    int skipped = 0;
    for (int i = 0; i < output.size(); ++i) {
        if (progress.match(output.at(i)).hasMatch() && i + 1 < output.size()
            && progress.match(output.at(i + 1)).hasMatch()) {
            ++skipped;
            continue;
        }
        if (skipped > 0)
            t += QStringLiteral("  | (%1 progress lines)\n").arg(skipped);
        skipped = 0;
        t += QStringLiteral("  | %1\n").arg(output.at(i));
    }
    t += QStringLiteral("The last request and what followed it:\n");
    for (const QString &line : run.log.last_exchange)
        t += QStringLiteral("  %1\n").arg(line);
    t += QStringLiteral("Outcome: %1%2; %3 s").arg(QString::fromLatin1(outcome_name(run.outcome)))
             .arg(run.why.isEmpty() ? QString() : QStringLiteral(" (") + run.why + QLatin1Char(')'))
             .arg(run.seconds, 0, 'f', 2);
    if (base_seconds > 0)
        t += QStringLiteral(", %1 s more than a fault-free update").arg(run.seconds - base_seconds, 0, 'f', 2);
    t += QStringLiteral("; the tool was held stopped %1 ms, replies paused %2 ms\n").arg(run.stopped_ms).arg(run.log.paused_ms);
    return t;
}

} // namespace campaign
