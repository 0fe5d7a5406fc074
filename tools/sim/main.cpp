// tvc-sim: a Tavero device on a pseudo-terminal, for developing and testing
// the companion program without hardware.

#include "cli.h"
#include "device.h"

#include <QCoreApplication>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <vector>

int main(int argc, char *argv[])
{
    // Started with standard input, output or error closed (sh's <&-): the
    // descriptor is given /dev/null, so that no terminal or file opened later
    // takes its number and is read as the console or written with the paths.
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
            return 1;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tvc-sim"));

    QList<sim::DeviceOptions> options;
    QString message;
    switch (sim::parseDevices(app.arguments(), &options, &message)) {
    case sim::ParseResult::Help:
        std::fputs(message.toLocal8Bit().constData(), stdout);
        return 0;
    case sim::ParseResult::Error:
        std::fprintf(stderr, "tvc-sim: %s\n", message.toLocal8Bit().constData());
        return 2;
    case sim::ParseResult::Run:
        break;
    }

    // Each device has its own terminal, timers and state; they share only
    // the event loop.
    std::vector<std::unique_ptr<sim::Device>> devices;
    QList<sim::Device *> console_devices;
    for (sim::DeviceOptions &o : options) {
        // Only the tests read the frames back; a simulator that runs for
        // hours at a report every 10 ms would keep them all.
        o.recordFrames = false;
        devices.push_back(std::make_unique<sim::Device>(o));
        console_devices.append(devices.back().get());
        QString error;
        if (!devices.back()->start(&error)) {
            std::fprintf(stderr, "tvc-sim: %s\n", error.toLocal8Bit().constData());
            return 1;
        }
    }
    for (const auto &device : devices)
        std::printf("%s\n", device->slavePath().toLocal8Bit().constData());
    std::fflush(stdout);

    sim::quitOnTerminationSignals();
    sim::Console console(console_devices, 0);
    return app.exec();
}
