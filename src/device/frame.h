#pragma once

#include <QByteArray>
#include <QtGlobal>

// One frame on the serial link, the same layout in both directions:
//   byte 0  start (141)
//   byte 1  L + 4
//   byte 3  L, the number of meaningful bytes from the code byte on
//   byte 5  unit
//   byte 7  command or reply code
//   byte 8… arguments, then zeros up to 112 bytes. 16-bit fields are little-endian.
constexpr int FRAME_SIZE = 112;
constexpr int FRAME_CODE_OFFSET = 7;
constexpr int FRAME_ARGS_OFFSET = 8;
constexpr int FRAME_MAX_ARGS = FRAME_SIZE - FRAME_ARGS_OFFSET;
constexpr quint8 FRAME_START = 141;

constexpr quint8 UNIT_WLAN = 0;
constexpr quint8 UNIT_DSP = 5;

// Commands the main window sends.
constexpr quint8 CMD_GAIN = 20;
constexpr quint8 CMD_MUTE = 26;
constexpr quint8 CMD_UNMUTE = 27;
constexpr quint8 CMD_STATUS = 40;
constexpr quint8 CMD_MASTER_INFO = 43;
constexpr quint8 CMD_SET_CHANNEL = 56;
constexpr quint8 CMD_VERSION = 62;
constexpr quint8 CMD_TEMPERATURE = 74;
constexpr quint8 CMD_LINK = 86;
constexpr quint8 CMD_REPORT_MODE = 119;

// Replies the main window decodes.
constexpr quint8 RPL_LINK_STATE = 9;
constexpr quint8 RPL_AUDIO = 21;
constexpr quint8 RPL_DEVICE_INFO = 42;
constexpr quint8 RPL_CHANNEL = 45;
constexpr quint8 RPL_VERSION = 63;
constexpr quint8 RPL_TEMPERATURE = 75;
constexpr quint8 RPL_PHANTOM = 88;
constexpr quint8 RPL_MUTE = 99;
constexpr quint8 RPL_SIGNAL = 120;
constexpr quint8 RPL_SNIFF = 151;

// Firmware transfer.
constexpr quint8 CMD_FW_DATA = 91;
constexpr quint8 RPL_FW_ACK = 92;
constexpr quint8 CMD_FW_FINISH = 93;
constexpr quint8 RPL_FW_DONE = 94;
constexpr quint8 CMD_DEVICE_TYPE = 95;
constexpr quint8 RPL_DEVICE_TYPE = 96;

// Fixed argument bytes that follow the channel number in a channel request.
constexpr quint8 CHANNEL_ARG_1 = 10;
constexpr quint8 CHANNEL_ARG_2 = 23;

// A frame carrying `args` after the code byte (at most FRAME_MAX_ARGS bytes;
// anything beyond is cut off).
QByteArray build_frame(quint8 code, quint8 unit, const QByteArray &args = QByteArray());

// The main window's three request shapes, chosen by the code alone: one argument
// byte for gain, unmute and report mode; channel, 10, 23 for a channel request;
// no argument for every other code. The argument goes out as its low 8 bits.
QByteArray build_command_frame(quint8 code, quint8 unit, int argument);

// Field readers; offsets past the end of the frame read as 0.
quint8 frame_u8(const QByteArray &frame, int offset);
quint16 frame_u16(const QByteArray &frame, int offset);
qint16 frame_s16(const QByteArray &frame, int offset);
inline quint8 frame_code(const QByteArray &frame) { return frame_u8(frame, FRAME_CODE_OFFSET); }
inline quint8 frame_unit(const QByteArray &frame) { return frame_u8(frame, 5); }
