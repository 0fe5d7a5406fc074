// Fuzzes the frame assembler alone: the same byte stream in one read and cut
// into reads two other ways must give the same frames.
//
// Input layout:
//   bytes 0-1 seed of the read sizes
//   byte 2    largest read (an index into READ_LIMITS)
//   byte 3…   the stream from the device
//
// What is required:
//  - Every frame has a consistent header (141, L from 1 to 105, byte 1 =
//    L + 4, bytes 2, 4 and 6 zero), its meaningful bytes 0 to 7 + L end in a
//    0 and zeros follow them; its meaningful bytes are the stream's own, in
//    order, never overlapping.
//  - Cut into reads anywhere, the stream gives exactly the frames of the one
//    read: a read's end never decides what a frame is, more bytes do.
//  - After every read, at most a frame and the reach a frame waits in for
//    silence stay buffered.
//  - Silence ends a frame: the stream followed by an intact frame, and then a
//    pause on the line: that frame is the last one handed out, unless a
//    candidate from the stream still waited when it began (a header inside a
//    frame's meaningful bytes is none of its own). So is such a frame that
//    lost padding or has noise after it (no start byte), when a pause came
//    before it and no candidate from before the pause still waits for its
//    meaningful bytes (a reply cut short inside them may yet be the frame;
//    test_frames holds the cases where the frame after the pause wins). The
//    intact frame's arguments hold no start byte and no 0.

#include "frame.h"
#include "frame_assembler.h"
#include "fuzz_support.h"

#include <QByteArray>
#include <QList>
#include <QVector>

#include <cstdint>

namespace {

constexpr int HEADER_SIZE = 3;
// A frame, and the reach it waits in for silence.
constexpr int MAX_BUFFERED = 6 * FRAME_SIZE;
constexpr int READ_LIMITS[] = {1, 2, 7, 64, 111, 112, 113, 200, 4096};

// Feeds `stream` in reads that end at `cuts` (the last one the stream's end).
QList<QByteArray> frames_of(const QByteArray &stream, const QVector<int> &cuts)
{
    FrameAssembler assembler;
    QList<QByteArray> frames;
    QByteArray frame;
    int done = 0;
    for (int cut : cuts) {
        assembler.append(stream.mid(done, cut - done));
        done = cut;
        while (assembler.take(&frame))
            frames.append(frame);
        require(assembler.buffered() <= MAX_BUFFERED, "at most a frame and its reach stay buffered");
    }
    return frames;
}

// A frame as a device sends it, with a code, unit and arguments taken from
// `seed`; no byte but the first is a start byte, and no argument is 0.
QByteArray intact_frame(const QByteArray &seed)
{
    const int length = 1 + (seed.isEmpty() ? 0 : quint8(seed.at(0)) % 105);
    QByteArray args = seed.right(length - 1);
    args.append(QByteArray(length - 1 - args.size(), '\x01'));
    for (char &c : args) {
        if (quint8(c) == FRAME_START)
            c = char(FRAME_START - 1);
        else if (c == 0)
            c = 1;
    }
    const quint8 code = seed.size() > 1 && quint8(seed.at(1)) != FRAME_START ? quint8(seed.at(1)) : 92;
    return build_frame(code, seed.size() > 2 ? quint8(seed.at(2)) % 8 : 0, args);
}

int meaningful(const QByteArray &frame)
{
    return qMin(FRAME_SIZE, FRAME_ARGS_OFFSET + frame_u8(frame, 3));
}

// The frames of `stream` in one read, checked.
QList<QByteArray> one_read(const QByteArray &stream)
{
    FrameAssembler whole;
    whole.append(stream);
    QList<QByteArray> frames;
    QByteArray frame;
    int end = 0;
    while (whole.take(&frame)) {
        require(consistent_frame(frame), "every frame has a consistent header");
        const int m = meaningful(frame);
        require(m == FRAME_SIZE || frame.at(m - 1) == 0, "the meaningful bytes end in a 0");
        require(frame.mid(m) == QByteArray(FRAME_SIZE - m, '\0'), "zeros follow the meaningful bytes");
        const int at = stream.indexOf(frame.left(qMin(m, FRAME_CODE_OFFSET + frame_u8(frame, 3))), end);
        require(at >= end, "a frame's meaningful bytes are the stream's own, in order");
        end = at + m - 1;
        frames.append(frame);
    }
    require(whole.buffered() <= MAX_BUFFERED, "at most a frame and its reach stay buffered");
    return frames;
}

// Read ends at random.
QVector<int> random_cuts(int size, int limit, quint32 &random)
{
    QVector<int> cuts;
    int pos = 0;
    while (pos < size) {
        pos = qMin(size, pos + 1 + int(next_random(random) % quint32(limit)));
        cuts.append(pos);
    }
    return cuts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < HEADER_SIZE)
        return 0;
    quint32 random = quint32(data[0]) | quint32(data[1]) << 8 | 0x10000u;
    const int limit = READ_LIMITS[data[2] % (sizeof READ_LIMITS / sizeof READ_LIMITS[0])];
    const QByteArray stream(reinterpret_cast<const char *>(data + HEADER_SIZE), int(size - HEADER_SIZE));

    const QList<QByteArray> expected = one_read(stream);
    const QList<QByteArray> first = frames_of(stream, random_cuts(stream.size(), limit, random));
    require(first == expected, "reads cut one way give the frames of the one read");
    const int other_limit = READ_LIMITS[(data[2] / 9) % (sizeof READ_LIMITS / sizeof READ_LIMITS[0])];
    const QList<QByteArray> second = frames_of(stream, random_cuts(stream.size(), other_limit, random));
    require(second == expected, "reads cut another way give the frames of the one read");

    // The same stream, then an intact frame, then a pause; or the stream, a
    // pause, the intact frame with its padding cut short or noise after it,
    // and a pause.
    const QByteArray last = intact_frame(stream);
    QByteArray taken;
    // Whether a candidate from before the frame still waited when it came.
    bool waited = false;
    const auto paused = [&](const QByteArray &before, const QByteArray &bytes, bool pause_between) {
        FrameAssembler assembler;
        QByteArray frame;
        for (int k = 0; k < 2; ++k) {
            const QByteArray &part = k == 0 ? before : bytes;
            int done = 0;
            for (int cut : random_cuts(part.size(), other_limit, random)) {
                assembler.append(part.mid(done, cut - done));
                done = cut;
                while (assembler.take(&frame))
                    taken = frame;
            }
            if (k == 1 || pause_between) {
                while (assembler.take_after_silence(&frame)) {
                    require(consistent_frame(frame), "a frame that silence ends has a consistent header");
                    taken = frame;
                }
            }
            if (k == 0)
                waited = assembler.buffered() > 0;
        }
    };
    paused(stream, last, false);
    require(taken == last || waited, "an intact frame followed by silence is handed out");

    QByteArray damaged = last;
    if (next_random(random) % 2 == 0) {
        damaged.chop(int(next_random(random) % quint32(FRAME_SIZE - meaningful(last) + 1)));
    } else {
        for (int n = int(next_random(random) % 65); n > 0; --n)
            damaged.append(char(next_random(random) % FRAME_START));
    }
    taken.clear();
    paused(stream, damaged, true);
    require(taken == last || waited,
            "a frame after a pause, damaged after its meaningful bytes, is handed out on the next");
    return 0;
}
