#include "frame.h"

QByteArray build_frame(quint8 code, quint8 unit, const QByteArray &args)
{
    const int n = qMin(args.size(), FRAME_MAX_ARGS);
    const int payload = 1 + n;
    QByteArray frame(FRAME_SIZE, '\0');
    frame[0] = char(FRAME_START);
    frame[1] = char(payload + 4);
    frame[3] = char(payload);
    frame[5] = char(unit);
    frame[FRAME_CODE_OFFSET] = char(code);
    if (n > 0)
        frame.replace(FRAME_ARGS_OFFSET, n, args.constData(), n);
    return frame;
}

QByteArray build_command_frame(quint8 code, quint8 unit, int argument)
{
    const char low = char(argument & 0xFF);
    switch (code) {
    case CMD_GAIN:
    case CMD_UNMUTE:
    case CMD_REPORT_MODE:
        return build_frame(code, unit, QByteArray(1, low));
    case CMD_SET_CHANNEL: {
        const char args[] = {low, char(CHANNEL_ARG_1), char(CHANNEL_ARG_2)};
        return build_frame(code, unit, QByteArray(args, sizeof args));
    }
    default:
        return build_frame(code, unit);
    }
}

quint8 frame_u8(const QByteArray &frame, int offset)
{
    return offset >= 0 && offset < frame.size() ? quint8(frame.at(offset)) : 0;
}

quint16 frame_u16(const QByteArray &frame, int offset)
{
    return quint16(frame_u8(frame, offset) | (frame_u8(frame, offset + 1) << 8));
}

qint16 frame_s16(const QByteArray &frame, int offset)
{
    return qint16(frame_u16(frame, offset));
}
