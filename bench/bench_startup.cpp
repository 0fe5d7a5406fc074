// Start-up: from starting the program's process to the status request
// arriving at the device, with the welcome box answered at once.
//
//   bench_startup [runs]          measures
//   bench_startup --child PORT    the program as measured (internal)

#include "bench_support.h"
#include "frame.h"
#include "modal_answerer.h"
#include "test_support.h"
#include "tvc.h"

#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// What tvc does, with the welcome box answered as soon as it shows.
int run_program(int argc, char *argv[], const QString &port)
{
    QApplication app(argc, argv);
    ModalAnswerer answerer;
    TVC window(PortFinder::fixed(port));
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && QByteArray(argv[1]) == "--child")
        return run_program(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 10;
    QList<double> times_ms;
    for (int run = 0; run < runs; ++run) {
        auto device = start_device();
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        QEventLoop loop;
        qint64 received_ns = 0;
        QObject::connect(device.get(), &sim::Device::frameReceived, &loop, [&](const QByteArray &frame) {
            if (frame_code(frame) == CMD_STATUS && received_ns == 0) {
                received_ns = bench::now_ns();
                loop.quit();
            }
        });
        QTimer::singleShot(30000, &loop, [&] { loop.exit(1); });
        const qint64 t0 = bench::now_ns();
        program.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), device->slavePath()});
        const bool ok = loop.exec() == 0;
        program.kill();
        program.waitForFinished(10000);
        if (!ok) {
            std::fprintf(stderr, "no status request within 30 s\n");
            return 1;
        }
        times_ms.append(double(received_ns - t0) / 1e6);
    }
    std::sort(times_ms.begin(), times_ms.end());
    std::printf("Start-up to the status request (%d runs; includes the 10 ms wait after the open)\n", runs);
    bench::print("fastest", times_ms.first(), "ms");
    bench::print("median", times_ms.at(times_ms.size() / 2), "ms");
    bench::print("slowest", times_ms.last(), "ms");
    return 0;
}
