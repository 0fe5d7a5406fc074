// Reception under line faults: report streams with one damaged byte each, cut
// into reads of random sizes, go through the frame assembler; counted are the
// damaged or false frames it hands to the decoder and the intact frames it
// loses. The same streams and cuts also go through a model of the assembler
// that believed every 141 whose byte 1 was its byte 3 plus 4 (the "before"
// rows). Deterministic: a fixed seed gives the same figures on every machine.
//
//   bench_reception [trials per fault kind]

#include "bench_support.h"
#include "frame.h"
#include "frame_assembler.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

// The assembler as it was: a frame is any 141 whose byte 1 is its byte 3
// plus 4, with the next 111 bytes.
class FormerAssembler
{
public:
    void append(const QByteArray &bytes)
    {
        if (m_head > 0 && m_head >= m_buffer.size() / 2) {
            m_buffer.remove(0, m_head);
            m_head = 0;
        }
        m_buffer.append(bytes);
    }

    bool take(QByteArray *frame)
    {
        const auto *p = reinterpret_cast<const quint8 *>(m_buffer.constData());
        const int size = m_buffer.size();
        while (m_head < size
               && !(p[m_head] == FRAME_START && (size - m_head < 4 || p[m_head + 1] == p[m_head + 3] + 4)))
            ++m_head;
        if (size - m_head < FRAME_SIZE)
            return false;
        *frame = m_buffer.mid(m_head, FRAME_SIZE);
        m_head += FRAME_SIZE;
        return true;
    }

private:
    QByteArray m_buffer;
    int m_head = 0;
};

enum class Fault { None, Lost, Inserted, Flipped, FlippedHeader, LateStart };

const char *fault_name(Fault f)
{
    switch (f) {
    case Fault::None: return "none";
    case Fault::Lost: return "lost byte";
    case Fault::Inserted: return "inserted byte";
    case Fault::Flipped: return "flipped byte";
    case Fault::FlippedHeader: return "flipped header byte";
    case Fault::LateStart: return "late start";
    }
    return "";
}

using Random = std::mt19937;

int uniform(Random &r, int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(r);
}

void put16(QByteArray &a, int v)
{
    a.append(char(v & 0xFF));
    a.append(char((v >> 8) & 0xFF));
}

// A counter as devices report them: often small, sometimes a round number,
// and often enough with 141 (a start byte) or 63 (a reply code) in it.
int counter(Random &r)
{
    const int kind = uniform(r, 0, 19);
    if (kind < 8)
        return uniform(r, 0, 255);
    if (kind < 14)
        return uniform(r, 256, 4095);
    if (kind < 17)
        return uniform(r, 0, 16) << 8 | (uniform(r, 0, 1) ? 0x8D : 0x3F);
    return uniform(r, 1, 16) << 8;
}

// One report of any reply code the program knows, with realistic fields.
QByteArray report(Random &r)
{
    static const quint8 codes[] = {RPL_SIGNAL,      RPL_SIGNAL, RPL_SIGNAL,  RPL_SNIFF,       RPL_SNIFF,
                                   RPL_SNIFF,       RPL_AUDIO,  RPL_MUTE,    RPL_PHANTOM,     RPL_LINK_STATE,
                                   RPL_DEVICE_INFO, RPL_CHANNEL, RPL_VERSION, RPL_TEMPERATURE, RPL_FW_ACK,
                                   RPL_FW_DONE,     RPL_DEVICE_TYPE};
    const quint8 code = codes[uniform(r, 0, int(sizeof codes) - 1)];
    quint8 unit = UNIT_WLAN;
    QByteArray a;
    switch (code) {
    case RPL_SIGNAL:
        put16(a, uniform(r, 0, 3) ? uniform(r, -80, -25) : 0);
        put16(a, uniform(r, 0, 1) ? uniform(r, -80, -25) : 0);
        break;
    case RPL_SNIFF:
        for (int i = 0; i < 4; ++i)
            put16(a, counter(r));
        put16(a, uniform(r, -95, -30));
        put16(a, uniform(r, -95, -30));
        break;
    case RPL_AUDIO:
        unit = UNIT_DSP;
        a.append(char(uniform(r, 0, 1) ? uniform(r, 0, 32) : 0x80 | uniform(r, 0, 56)));
        a.append(char(uniform(r, 0, 1)));
        break;
    case RPL_MUTE:
    case RPL_PHANTOM:
        unit = UNIT_DSP;
        a.append(char(uniform(r, 0, 1)));
        break;
    case RPL_LINK_STATE:
        a.append(char(uniform(r, 1, 3)));
        break;
    case RPL_DEVICE_INFO:
        a.append(char(uniform(r, 0, 3) | uniform(r, 0, 1) << 2 | uniform(r, 0, 1) << 3 | uniform(r, 0, 15) << 4));
        a.append(char(uniform(r, 1, 3) | uniform(r, 0, 7) << 4));
        a.append(char(uniform(r, 0, 255)));
        break;
    case RPL_CHANNEL: {
        static const int channels[] = {36, 40, 44, 48, 52, 56, 60, 64, 100, 104, 108, 112,
                                       116, 120, 124, 128, 132, 136, 140, 149, 153, 157, 161, 165};
        a.append(char(channels[uniform(r, 0, int(sizeof channels / sizeof channels[0]) - 1)]));
        break;
    }
    case RPL_VERSION:
        if (uniform(r, 0, 1)) {
            put16(a, uniform(r, 1599, 1699));
        } else {
            unit = UNIT_DSP;
            a.append(char(uniform(r, 0, 20)));
            a.append(char(uniform(r, 1, 5)));
        }
        break;
    case RPL_TEMPERATURE:
        put16(a, uniform(r, -20, 90));
        break;
    case RPL_FW_ACK:
        unit = uniform(r, 0, 1) ? UNIT_DSP : UNIT_WLAN;
        put16(a, uniform(r, 0, 65535));
        break;
    case RPL_FW_DONE:
        unit = uniform(r, 0, 1) ? UNIT_DSP : UNIT_WLAN;
        break;
    case RPL_DEVICE_TYPE:
        unit = UNIT_DSP;
        a.append(char(uniform(r, 0, 1) ? 4 : 8));
        break;
    default:
        break;
    }
    return build_frame(code, unit, a);
}

constexpr int FRAMES_PER_STREAM = 16;
constexpr int MAX_READ = 200;

struct Trial
{
    QList<QByteArray> sent;  // the frames the device sent
    QList<bool> meaning;     // whether each arrived with its meaningful bytes (0 to 7 + L) as sent
    QByteArray received;     // the bytes that arrived
    QList<int> reads;        // sizes of the reads they arrived in
    QList<int> ends;         // where each frame sent ends in the bytes received
};

// Bytes 0 to 7 + L of a frame: what the decoder reads.
int meaningful(const QByteArray &frame)
{
    return qMin(FRAME_SIZE, FRAME_ARGS_OFFSET + quint8(frame.at(3)));
}

// One stream of reports with one fault in it. Faults hit the frames between
// the first and the last, so that every fault has frames on both sides.
Trial make_trial(Fault fault, Random &r)
{
    Trial t;
    for (int i = 0; i < FRAMES_PER_STREAM; ++i) {
        t.sent.append(report(r));
        t.received += t.sent.last();
        t.meaning.append(true);
        t.ends.append((i + 1) * FRAME_SIZE);
    }
    int pos = uniform(r, FRAME_SIZE, (FRAMES_PER_STREAM - 1) * FRAME_SIZE - 1);
    if (fault == Fault::FlippedHeader)
        pos = pos / FRAME_SIZE * FRAME_SIZE + uniform(r, 0, 6);
    const int hit = pos / FRAME_SIZE;
    // A fault in the padding leaves what the decoder reads as it was sent (a
    // byte inserted or lost there shifts only padding).
    const bool in_meaning = pos % FRAME_SIZE < meaningful(t.sent.at(hit));
    const auto shift_ends = [&](int from, int by) {
        for (int &end : t.ends) {
            if (end > from)
                end += by;
        }
    };
    switch (fault) {
    case Fault::None:
        break;
    case Fault::Lost:
        t.received.remove(pos, 1);
        t.meaning[hit] = !in_meaning;
        shift_ends(pos, -1);
        break;
    case Fault::Inserted:
        // Before a frame's first byte it lies between two intact frames.
        t.received.insert(pos, char(uniform(r, 0, 255)));
        if (pos % FRAME_SIZE != 0) {
            t.meaning[hit] = !in_meaning;
        }
        shift_ends(pos, 1);
        break;
    case Fault::Flipped:
    case Fault::FlippedHeader:
        t.received[pos] = char(quint8(t.received.at(pos)) ^ quint8(uniform(r, 1, 255)));
        t.meaning[hit] = !in_meaning;
        break;
    case Fault::LateStart: {
        const int lost = uniform(r, 1, FRAME_SIZE - 1);
        t.received.remove(0, lost);
        t.meaning[0] = false;
        shift_ends(0, -lost);
        break;
    }
    }
    for (int done = 0; done < t.received.size();) {
        const int n = qMin(uniform(r, 1, MAX_READ), t.received.size() - done);
        t.reads.append(n);
        done += n;
    }
    return t;
}

struct Tally
{
    qint64 faults = 0;
    qint64 delivered = 0;
    qint64 bad = 0;         // damaged or false frames handed out
    qint64 intact_lost = 0; // intact frames not handed out
    qint64 bytes = 0;
    qint64 ns = 0;
};

// Whether the line goes quiet between reports: never (a stream of reports
// back to back, quiet only after the last), or after every report (a device
// that answers requests, or reports slowly).
enum class Pauses { AtEnd, AfterEach };

bool silence(FormerAssembler &, QByteArray *) { return false; }
bool silence(FrameAssembler &assembler, QByteArray *frame) { return assembler.take_after_silence(frame); }

// The assembler without the rule that silence ends a frame.
struct StreamOnly : FrameAssembler
{
};
bool silence(StreamOnly &, QByteArray *) { return false; }

template <class Assembler>
void run(const Trial &t, Pauses pauses, Tally *tally)
{
    Assembler assembler;
    QList<QByteArray> frames;
    QByteArray frame;
    // Reads end where the random sizes say and, with pauses, where a report ends.
    QList<int> cuts;
    for (int done = 0, i = 0; i < t.reads.size(); ++i)
        cuts.append(done += t.reads.at(i));
    QList<int> quiet = {int(t.received.size())};
    if (pauses == Pauses::AfterEach) {
        for (int end : t.ends) {
            if (end > 0 && end < t.received.size()) {
                quiet.append(end);
                cuts.append(end);
            }
        }
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    const qint64 t0 = bench::now_ns();
    int done = 0;
    for (int cut : cuts) {
        assembler.append(t.received.mid(done, cut - done));
        done = cut;
        while (assembler.take(&frame))
            frames.append(frame);
        if (quiet.contains(cut)) {
            while (silence(assembler, &frame))
                frames.append(frame);
        }
    }
    tally->ns += bench::now_ns() - t0;
    tally->bytes += t.received.size();

    // Each frame handed out is matched, in order, with the next intact frame
    // sent that it equals; whatever matches none is damaged or false. What
    // counts is what the decoder reads: the meaningful bytes (a byte lost or
    // added in the padding leaves them as sent).
    const QList<bool> &intact = t.meaning;
    const auto same = [&](const QByteArray &sent, const QByteArray &got) {
        return sent.left(meaningful(sent)) == got.left(meaningful(sent));
    };
    int cursor = 0;
    int matched = 0;
    for (const QByteArray &f : frames) {
        int j = cursor;
        while (j < t.sent.size() && !(intact.at(j) && same(t.sent.at(j), f)))
            ++j;
        if (j < t.sent.size()) {
            ++matched;
            cursor = j + 1;
        } else {
            ++tally->bad;
        }
    }
    ++tally->faults;
    tally->delivered += frames.size();
    tally->intact_lost += intact.count(true) - matched;
}

void print_row(const char *who, Fault fault, const Tally &t)
{
    const double n = double(t.faults);
    std::printf("| %s | %s | %lld | %.4f | %.4f | %.1f |\n", fault_name(fault), who,
                static_cast<long long>(t.faults), double(t.bad) / n, double(t.intact_lost) / n,
                double(t.delivered) / n);
}

} // namespace

int main(int argc, char *argv[])
{
    const int trials = argc > 1 ? QByteArray(argv[1]).toInt() : 20000;
    const QList<Fault> faults = {Fault::None,    Fault::Lost,          Fault::Inserted,
                                 Fault::Flipped, Fault::FlippedHeader, Fault::LateStart};
    std::printf("Reception of %d report streams of %d frames per fault kind, reads of 1 to %d bytes\n\n", trials,
                FRAMES_PER_STREAM, MAX_READ);
    std::printf("Reports back to back, the line quiet after the last; a frame counts as intact when its\n"
                "meaningful bytes (0 to 7 + L) arrived as sent:\n\n");
    std::printf("| Fault | Assembler | Faults | Damaged or false frames decoded per fault "
                "| Intact frames lost per fault | Frames decoded per stream |\n");
    std::printf("|---|---|---|---|---|---|\n");
    Tally speed_before;
    Tally speed_after;
    for (Fault fault : faults) {
        Tally before;
        Tally after;
        Random r(20261207u + unsigned(fault));
        for (int i = 0; i < trials; ++i) {
            const Trial t = make_trial(fault, r);
            run<FormerAssembler>(t, Pauses::AtEnd, &before);
            run<FrameAssembler>(t, Pauses::AtEnd, &after);
        }
        print_row("before", fault, before);
        print_row("after", fault, after);
        if (fault == Fault::None) {
            speed_before = before;
            speed_after = after;
        }
    }

    std::printf("\nThe line quiet after every report; a frame counts as intact when its meaningful bytes\n"
                "(0 to 7 + L) arrived as sent:\n\n");
    std::printf("| Fault | Assembler | Faults | Damaged or false frames decoded per fault "
                "| Intact frames lost per fault | Frames decoded per stream |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (Fault fault : faults) {
        Tally stream_only;
        Tally with_silence;
        Random r(20261207u + unsigned(fault));
        for (int i = 0; i < trials; ++i) {
            const Trial t = make_trial(fault, r);
            run<StreamOnly>(t, Pauses::AfterEach, &stream_only);
            run<FrameAssembler>(t, Pauses::AfterEach, &with_silence);
        }
        print_row("no silence rule", fault, stream_only);
        print_row("silence ends a frame", fault, with_silence);
    }
    std::printf("\n");
    const auto mb_per_s = [](const Tally &t) { return double(t.bytes) / 1e6 / (double(t.ns) / 1e9); };
    bench::print("assembler speed, before", mb_per_s(speed_before), "MB/s");
    bench::print("assembler speed, after", mb_per_s(speed_after), "MB/s");
    bench::print("the link's most, at 115200 baud", 0.01152, "MB/s");
    return 0;
}
