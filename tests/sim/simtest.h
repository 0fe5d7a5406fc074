#pragma once

// Helpers for the simulator's tests: a program-side serial port that collects
// whole frames, and literal frame construction independent of the simulator.

#include "sim/device.h"

#include <QByteArray>
#include <QList>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <chrono>

namespace simtest {

constexpr int kFrame = 112;

// A frame from its leading bytes in hex ("8d 05 00 01 ..."), zero-padded to 112.
inline QByteArray hexFrame(const char *hex)
{
    QByteArray f = QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
    f.append(QByteArray(kFrame - f.size(), '\0'));
    return f;
}

// A frame as the program sends it: byte 1 = L + 4, byte 3 = L, unit, code, arguments.
inline QByteArray request(quint8 code, quint8 unit, const QByteArray &args = QByteArray())
{
    QByteArray f(kFrame, '\0');
    f[0] = char(0x8d);
    f[1] = char(args.size() + 5);
    f[3] = char(args.size() + 1);
    f[5] = char(unit);
    f[7] = char(code);
    for (int i = 0; i < args.size(); ++i)
        f[8 + i] = args[i];
    return f;
}

inline qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch()).count();
}

// How a pulled cable shows at the program's port. A read on a hung-up terminal
// returns 0 and QSerialPort classifies it by whatever errno was left from an
// earlier call: usually ReadError, ResourceError when that was EAGAIN or EIO.
inline bool isHangUpError(const QSignalSpy &errors)
{
    if (errors.isEmpty())
        return false;
    const auto e = errors.first().first().value<QSerialPort::SerialPortError>();
    return e == QSerialPort::ReadError || e == QSerialPort::ResourceError;
}

inline sim::DeviceOptions quietOptions()
{
    sim::DeviceOptions o;
    o.logFrames = false;
    return o;
}

inline quint16 u16(const QByteArray &f, int at)
{
    return quint16(quint8(f[at]) | (quint8(f[at + 1]) << 8));
}

inline qint16 s16(const QByteArray &f, int at)
{
    return qint16(u16(f, at));
}

// The program's end of the line: a QSerialPort on the slave, cutting what it
// reads into consecutive 112-byte frames (the simulator only sends whole frames).
class Client : public QObject
{
public:
    explicit Client(const QString &path)
    {
        port.setPortName(path);
        QObject::connect(&port, &QSerialPort::readyRead, this, [this]() {
            const QByteArray b = port.readAll();
            reads.append(b);
            pending.append(b);
            while (pending.size() >= kFrame) {
                frames.append(pending.left(kFrame));
                pending.remove(0, kFrame);
            }
        });
    }

    bool open()
    {
        if (!port.open(QIODevice::ReadWrite))
            return false;
        port.setBaudRate(115200);
        return true;
    }

    void send(const QByteArray &bytes)
    {
        port.write(bytes);
        port.flush();
    }

    bool waitFrames(int n, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&]() { return frames.size() >= n; }, timeoutMs);
    }

    // Frames received with the given code.
    QList<QByteArray> withCode(quint8 code) const
    {
        QList<QByteArray> out;
        for (const QByteArray &f : frames)
            if (quint8(f[7]) == code)
                out.append(f);
        return out;
    }

    QSerialPort port;
    QList<QByteArray> reads;
    QList<QByteArray> frames;
    QByteArray pending;
};

} // namespace simtest
