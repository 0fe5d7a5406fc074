// Fuzzes the frame assembler alone: the same byte stream in one read and cut
// into reads two other ways must give the same frames.
//
// Input layout:
//   bytes 0-1 seed of the read sizes
//   byte 2    largest read (an index into READ_LIMITS)
//   byte 3…   the stream from the device
//
// What is required:
//  - The frames of the stream in one read are the stream's own bytes, in
//    order, never overlapping, each with a consistent header (141, L from 1
//    to 105, byte 1 = L + 4, bytes 2, 4 and 6 zero).
//  - Cut into reads, the stream gives exactly those frames, as long as no read
//    ends at the end of a candidate that the one read passed over or left
//    waiting at the end, or within the 6 bytes after it: only there may a
//    read's end hide the bytes that show a candidate false. Such candidates
//    are among the 141s outside the one read's frames that have 111 bytes
//    after them.
//  - After every read, at most a frame and the 6 bytes after it stay buffered.
//  - Silence ends a frame: the stream followed by an intact frame, and then
//    a pause on the line: that frame is the last one handed out, whatever
//    came before it. So is such a frame that lost padding or has noise after
//    it (no start byte), when a pause came before it and no candidate from
//    before the pause still waits for its meaningful bytes (a reply cut short
//    inside them may yet be the frame; test_frames holds the cases where the
//    frame after the pause wins). Reads after the pause keep clear of the
//    ends of candidates that began before it, as in one read. Every frame
//    handed out on a pause has a consistent header. The intact frame's arguments hold
//    no start byte and no 0: a frame cut short just before it would
//    otherwise end where its arguments read as the frame after it, a header
//    that lost its start byte, and that rule keeps intact frames next to a
//    damaged one.

#include "frame.h"
#include "frame_assembler.h"
#include "fuzz_support.h"

#include <QByteArray>
#include <QList>
#include <QVector>

#include <cstdint>

namespace {

constexpr int HEADER_SIZE = 3;
constexpr int AFTER_CANDIDATE = 6;
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
        require(assembler.buffered() <= FRAME_SIZE + AFTER_CANDIDATE, "at most a frame and 6 bytes stay buffered");
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

// The frames of `stream` in one read into *frames, checked; returns where a
// read may not end (see above).
QVector<bool> one_read(const QByteArray &stream, QList<QByteArray> *frames)
{
    // Where each frame lay follows from the bytes passed over before it.
    FrameAssembler whole;
    whole.append(stream);
    QVector<bool> in_frame(stream.size(), false);
    QByteArray frame;
    int end = 0;
    while (whole.take(&frame)) {
        require(consistent_frame(frame), "every frame has a consistent header");
        const qint64 at = whole.dropped() + qint64(frames->size()) * FRAME_SIZE;
        require(at >= end && at + FRAME_SIZE <= stream.size(), "frames follow each other within the stream");
        require(stream.mid(int(at), FRAME_SIZE) == frame, "a frame is the stream's own bytes");
        for (int i = 0; i < FRAME_SIZE; ++i)
            in_frame[int(at) + i] = true;
        end = int(at) + FRAME_SIZE;
        frames->append(frame);
    }
    require(whole.buffered() <= FRAME_SIZE + AFTER_CANDIDATE, "at most a frame and 6 bytes stay buffered");

    QVector<bool> unsafe(stream.size() + 1, false);
    for (int p = 0; p + FRAME_SIZE <= stream.size(); ++p) {
        if (in_frame.at(p) || quint8(stream.at(p)) != FRAME_START)
            continue;
        for (int c = p + FRAME_SIZE; c <= qMin(p + FRAME_SIZE + AFTER_CANDIDATE, stream.size()); ++c)
            unsafe[c] = true;
    }
    return unsafe;
}

// Read ends at random, moved past every position where a read may not end.
QVector<int> random_cuts(int size, const QVector<bool> &unsafe, int limit, quint32 &random)
{
    QVector<int> cuts;
    int pos = 0;
    while (pos < size) {
        pos = qMin(size, pos + 1 + int(next_random(random) % quint32(limit)));
        while (pos < size && unsafe.at(pos))
            ++pos;
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

    QList<QByteArray> expected;
    const QVector<bool> unsafe = one_read(stream, &expected);

    const QList<QByteArray> first = frames_of(stream, random_cuts(stream.size(), unsafe, limit, random));
    require(first == expected, "reads cut one way give the frames of the one read");
    const int other_limit = READ_LIMITS[(data[2] / 9) % (sizeof READ_LIMITS / sizeof READ_LIMITS[0])];
    const QList<QByteArray> second = frames_of(stream, random_cuts(stream.size(), unsafe, other_limit, random));
    require(second == expected, "reads cut another way give the frames of the one read");

    // The same stream, then an intact frame, then a pause; or the stream, a
    // pause, the intact frame with its padding cut short or noise after it,
    // and a pause.
    const QByteArray last = intact_frame(stream);
    QByteArray taken;
    // Whether a candidate from before the pause still waited for its
    // meaningful bytes when the frame came.
    bool waited = false;
    const auto paused = [&](const QByteArray &before, const QByteArray &bytes) {
        FrameAssembler assembler;
        QByteArray frame;
        for (int k = 0; k < 2; ++k) {
            const QByteArray &part = k == 0 ? before : bytes;
            QList<QByteArray> ignored;
            QVector<bool> unsafe = one_read(part, &ignored);
            // A candidate from before the pause that still waits for its
            // meaningful bytes goes on into this part: where it ends is no
            // safer a place for a read to end than in one read.
            if (k == 1 && !before.isEmpty()) {
                QList<QByteArray> frames;
                const QVector<bool> joined = one_read(before + bytes, &frames);
                for (int i = 0; i < unsafe.size(); ++i)
                    unsafe[i] = unsafe.at(i) || joined.at(before.size() + i);
            }
            int done = 0;
            for (int cut : random_cuts(part.size(), unsafe, other_limit, random)) {
                assembler.append(part.mid(done, cut - done));
                done = cut;
                while (assembler.take(&frame))
                    taken = frame;
            }
            while (assembler.take_after_silence(&frame)) {
                require(consistent_frame(frame), "a frame that silence ends has a consistent header");
                taken = frame;
            }
            if (k == 0)
                waited = assembler.buffered() > 0;
        }
    };
    paused(QByteArray(), stream + last);
    require(taken == last, "an intact frame followed by silence is handed out");

    QByteArray damaged = last;
    const int meaningful = qMin(FRAME_SIZE, FRAME_ARGS_OFFSET + frame_u8(last, 3));
    if (next_random(random) % 2 == 0) {
        damaged.chop(int(next_random(random) % quint32(FRAME_SIZE - meaningful + 1)));
    } else {
        for (int n = int(next_random(random) % 65); n > 0; --n)
            damaged.append(char(next_random(random) % FRAME_START));
    }
    taken.clear();
    paused(stream, damaged);
    require(taken == last || waited,
            "a frame after a pause, damaged after its meaningful bytes, is handed out on the next");
    return 0;
}
