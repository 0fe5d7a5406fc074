#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace sim {

// Every frame on the link, in both directions, is exactly this long.
constexpr int kFrameSize = 112;
constexpr quint8 kStartByte = 141;
// Payload length L counts the code byte and its arguments; it fits bytes 7..111.
constexpr int kMaxPayload = 105;
constexpr int kMaxArgs = kMaxPayload - 1;

constexpr quint8 kUnitWlan = 0;
constexpr quint8 kUnitDsp = 5;

// Command codes the device understands.
namespace cmd {
constexpr quint8 Gain = 20;
constexpr quint8 Mute = 26;
constexpr quint8 Unmute = 27;
constexpr quint8 Status = 40;
constexpr quint8 MasterInfo = 43;
constexpr quint8 SetChannel = 56;
constexpr quint8 Version = 62;
constexpr quint8 Temperature = 74;
constexpr quint8 Link = 86;
constexpr quint8 FwData = 91;
constexpr quint8 FwFinish = 93;
constexpr quint8 DeviceType = 95;
constexpr quint8 ReportMode = 119;
} // namespace cmd

// Reply codes the device sends.
namespace rpl {
constexpr quint8 LinkState = 9;
constexpr quint8 Audio = 21;
constexpr quint8 DeviceInfo = 42;
constexpr quint8 Channel = 45;
constexpr quint8 Version = 63;
constexpr quint8 Temperature = 75;
constexpr quint8 Phantom = 88;
constexpr quint8 FwAck = 92;
constexpr quint8 FwDone = 94;
constexpr quint8 DeviceType = 96;
constexpr quint8 Mute = 99;
constexpr quint8 Signal = 120;
constexpr quint8 Sniff = 151;
} // namespace rpl

// Builds a complete frame: L = 1 + args.size(); arguments beyond kMaxArgs are cut off.
QByteArray buildFrame(quint8 code, quint8 unit, const QByteArray &args = QByteArray());

// Returns an empty string for a well-formed frame, otherwise what is wrong with it.
QString frameProblem(const QByteArray &frame);

// Short human-readable name, e.g. "CMD 40 unit 0 (status)" or "RPL 42 unit 0 (device info)".
QString describeFrame(const QByteArray &frame, bool fromHost);

// Name of a command (fromHost) or reply code, empty when unknown.
QString codeName(quint8 code, bool fromHost);

inline quint8 byteAt(const QByteArray &frame, int offset)
{
    return offset < frame.size() ? static_cast<quint8>(frame.at(offset)) : 0;
}

inline quint16 u16At(const QByteArray &frame, int offset)
{
    return static_cast<quint16>(byteAt(frame, offset) | (byteAt(frame, offset + 1) << 8));
}

inline qint16 s16At(const QByteArray &frame, int offset)
{
    return static_cast<qint16>(u16At(frame, offset));
}

inline void appendU16(QByteArray &out, quint16 v)
{
    out.append(static_cast<char>(v & 0xff));
    out.append(static_cast<char>(v >> 8));
}

// Steady-clock time in nanoseconds; comparable with std::chrono::steady_clock readings.
qint64 steadyNowNs();

} // namespace sim
