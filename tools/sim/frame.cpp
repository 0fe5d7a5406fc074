#include "frame.h"

#include <chrono>

namespace sim {

QByteArray buildFrame(quint8 code, quint8 unit, const QByteArray &args)
{
    const int nargs = qMin(args.size(), kMaxArgs);
    const int len = 1 + nargs;
    QByteArray f(kFrameSize, '\0');
    char *p = f.data();
    p[0] = static_cast<char>(kStartByte);
    p[1] = static_cast<char>(len + 4);
    p[3] = static_cast<char>(len);
    p[5] = static_cast<char>(unit);
    p[7] = static_cast<char>(code);
    for (int i = 0; i < nargs; ++i)
        p[8 + i] = args.at(i);
    return f;
}

QString frameProblem(const QByteArray &frame)
{
    if (frame.size() != kFrameSize)
        return QStringLiteral("length %1 instead of %2").arg(frame.size()).arg(kFrameSize);
    if (byteAt(frame, 0) != kStartByte)
        return QStringLiteral("start byte %1").arg(byteAt(frame, 0));
    const int len = byteAt(frame, 3);
    if (byteAt(frame, 1) != len + 4)
        return QStringLiteral("byte 1 is %1 but byte 3 is %2").arg(byteAt(frame, 1)).arg(len);
    for (int reserved : {2, 4, 6}) {
        if (byteAt(frame, reserved) != 0)
            return QStringLiteral("reserved byte %1 is %2").arg(reserved).arg(byteAt(frame, reserved));
    }
    if (len < 1 || len > kMaxPayload)
        return QStringLiteral("payload length %1 out of range 1..%2").arg(len).arg(kMaxPayload);
    for (int i = 7 + len; i < kFrameSize; ++i) {
        if (byteAt(frame, i) != 0)
            return QStringLiteral("padding byte %1 is %2 (payload length %3)")
                .arg(i).arg(byteAt(frame, i)).arg(len);
    }
    return QString();
}

QString codeName(quint8 code, bool fromHost)
{
    if (fromHost) {
        switch (code) {
        case cmd::Gain: return QStringLiteral("gain");
        case cmd::Mute: return QStringLiteral("mute");
        case cmd::Unmute: return QStringLiteral("unmute");
        case cmd::Status: return QStringLiteral("status");
        case cmd::MasterInfo: return QStringLiteral("master info");
        case cmd::SetChannel: return QStringLiteral("set channel");
        case cmd::Version: return QStringLiteral("version");
        case cmd::Temperature: return QStringLiteral("temperature");
        case cmd::Link: return QStringLiteral("link");
        case cmd::FwData: return QStringLiteral("firmware data");
        case cmd::FwFinish: return QStringLiteral("firmware finish");
        case cmd::DeviceType: return QStringLiteral("device type");
        case cmd::ReportMode: return QStringLiteral("report mode");
        default: return QString();
        }
    }
    switch (code) {
    case rpl::LinkState: return QStringLiteral("link state");
    case rpl::Audio: return QStringLiteral("audio");
    case rpl::DeviceInfo: return QStringLiteral("device info");
    case rpl::Channel: return QStringLiteral("channel");
    case rpl::Version: return QStringLiteral("version");
    case rpl::Temperature: return QStringLiteral("temperature");
    case rpl::Phantom: return QStringLiteral("phantom");
    case rpl::FwAck: return QStringLiteral("firmware ack");
    case rpl::FwDone: return QStringLiteral("firmware done");
    case rpl::DeviceType: return QStringLiteral("device type");
    case rpl::Mute: return QStringLiteral("mute");
    case rpl::Signal: return QStringLiteral("signal");
    case rpl::Sniff: return QStringLiteral("sniff");
    default: return QString();
    }
}

QString describeFrame(const QByteArray &frame, bool fromHost)
{
    const quint8 code = byteAt(frame, 7);
    QString s = QStringLiteral("%1 %2 unit %3")
                    .arg(fromHost ? QStringLiteral("CMD") : QStringLiteral("RPL"))
                    .arg(code)
                    .arg(byteAt(frame, 5));
    const QString name = codeName(code, fromHost);
    if (!name.isEmpty())
        s += QStringLiteral(" (") + name + QLatin1Char(')');
    if (fromHost && code == cmd::FwData)
        s += QStringLiteral(" seq %1 n %2").arg(u16At(frame, 8)).arg(byteAt(frame, 10));
    if (!fromHost && code == rpl::FwAck)
        s += QStringLiteral(" seq %1").arg(u16At(frame, 8));
    return s;
}

qint64 steadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace sim
