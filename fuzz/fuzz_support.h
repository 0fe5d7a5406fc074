#pragma once

// Helpers shared by the fuzz targets of the reception.

#include "frame.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

// Ends the run when a requirement fails; libFuzzer keeps the input.
inline void require(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// xorshift32; the state is never 0.
inline quint32 next_random(quint32 &state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// 112 bytes with a consistent header: 141, L from 1 to 105, byte 1 = L + 4,
// bytes 2, 4 and 6 zero.
inline bool consistent_frame(const QByteArray &frame)
{
    const int length = frame_u8(frame, 3);
    return frame.size() == FRAME_SIZE && frame_u8(frame, 0) == FRAME_START && length >= 1 && length <= 105
        && frame_u8(frame, 1) == length + 4 && frame_u8(frame, 2) == 0 && frame_u8(frame, 4) == 0
        && frame_u8(frame, 6) == 0;
}
