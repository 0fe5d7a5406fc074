#include "report_fields.h"

#include "frame.h"

std::array<int, 6> sniff_fields(const QByteArray &frame)
{
    return {frame_u16(frame, 8),  frame_u16(frame, 10), frame_u16(frame, 12),
            frame_u16(frame, 14), frame_s16(frame, 16), frame_s16(frame, 18)};
}

QByteArray sniff_frame(const std::array<int, 6> &fields)
{
    QByteArray args;
    for (const int value : fields) {
        args.append(char(value & 0xFF));
        args.append(char((value >> 8) & 0xFF));
    }
    return build_frame(RPL_SNIFF, UNIT_WLAN, args);
}
