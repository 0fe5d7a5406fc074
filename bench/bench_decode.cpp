// Reply decoding speed through the whole reception path: the simulated device
// writes a realistic mix of frames into the pseudo-terminal as fast as it can;
// the program's serial port reads them, the assembler cuts them and the
// decoder updates the widgets (offscreen).
//
//   bench_decode [frames]

#include "bench_support.h"
#include "frame.h"
#include "modal_answerer.h"
#include "status_display.h"
#include "test_support.h"
#include "tvc.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>

namespace {

QByteArray le16(int v)
{
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char((v >> 8) & 0xFF));
}

// 60 % signal reports, 15 % device information, 15 % gain, 10 % sniffer lines.
QByteArray frame_mix(int count, int *sniffer_lines)
{
    QByteArray stream;
    stream.reserve(count * FRAME_SIZE);
    *sniffer_lines = 0;
    for (int i = 0; i < count; ++i) {
        const int kind = i % 20;
        if (kind < 12) {
            stream += build_frame(RPL_SIGNAL, UNIT_WLAN, le16(-30 - i % 50) + le16(-40 - i % 40));
        } else if (kind < 15) {
            const char info[] = {char(0x39), char(2), char(0)};
            stream += build_frame(RPL_DEVICE_INFO, UNIT_WLAN, QByteArray(info, 3));
        } else if (kind < 18) {
            const char audio[] = {char(0x80 | (i % 40)), char(0)};
            stream += build_frame(RPL_AUDIO, UNIT_DSP, QByteArray(audio, 2));
        } else {
            stream += build_frame(RPL_SNIFF, UNIT_WLAN,
                                  le16(i % 1000) + le16(i % 300) + le16(i % 700) + le16(i % 200) + le16(-60) + le16(-70));
            ++*sniffer_lines;
        }
    }
    return stream;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 200000;

    sim::DeviceOptions options;
    options.txu = false;
    options.repeaterMode = true;
    options.slot = 3;
    options.reportPeriodMs = 1000000;  // no reports of its own during the run
    options.recordFrames = false;
    auto device = start_device(options);
    ModalAnswerer answerer;
    TVC window(PortFinder::fixed(device->slavePath()));
    window.show();
    auto *line = window.findChild<QLabel *>(QStringLiteral("l_p2p_devtype"));
    if (!bench::wait_until([line] { return line->text() != updating_text(); }, 10000)) {
        std::fprintf(stderr, "no device\n");
        return 1;
    }
    window.findChild<QCheckBox *>(QStringLiteral("cbox_rssi"))->click();

    int sniffer_lines = 0;
    const QByteArray stream = frame_mix(count, &sniffer_lines)
        + build_frame(RPL_TEMPERATURE, UNIT_WLAN, le16(12345));
    auto *marker = window.findChild<QLineEdit *>(QStringLiteral("htemp_val"));

    const qint64 cpu0 = bench::cpu_ns();
    const qint64 t0 = bench::now_ns();
    device->writeRaw(stream);
    const bool done = bench::wait_until([marker] { return marker->text() == QLatin1String("12345"); }, 600000);
    const qint64 t1 = bench::now_ns();
    const qint64 cpu1 = bench::cpu_ns();

    const double seconds = double(t1 - t0) / 1e9;
    std::printf("Reply decoding of %d frames (%d sniffer lines) through the serial port\n", count + 1,
                sniffer_lines);
    bench::print("all decoded", done ? QStringLiteral("yes") : QStringLiteral("NO"));
    bench::print("total time", seconds, "s");
    bench::print("frames per second", double(count + 1) / seconds, "frames/s");
    bench::print("CPU per frame (program and device)", double(cpu1 - cpu0) / double(count + 1) / 1000.0, "us");
    bench::print("the link's most, at 115200 baud", 115200.0 / 10 / 112, "frames/s");
    return done ? 0 : 1;
}
