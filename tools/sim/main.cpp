// tvc-sim: a Tavero device on a pseudo-terminal, for developing and testing
// the companion program without hardware.

#include "cli.h"
#include "device.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tvc-sim"));

    sim::DeviceOptions options;
    QString message;
    switch (sim::parseArguments(app.arguments(), &options, &message)) {
    case sim::ParseResult::Help:
        std::fputs(message.toLocal8Bit().constData(), stdout);
        return 0;
    case sim::ParseResult::Error:
        std::fprintf(stderr, "tvc-sim: %s\n", message.toLocal8Bit().constData());
        return 2;
    case sim::ParseResult::Run:
        break;
    }

    sim::Device device(options);
    QString error;
    if (!device.start(&error)) {
        std::fprintf(stderr, "tvc-sim: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("%s\n", device.slavePath().toLocal8Bit().constData());
    std::fflush(stdout);

    sim::quitOnTerminationSignals();
    sim::Console console(&device, 0);
    return app.exec();
}
