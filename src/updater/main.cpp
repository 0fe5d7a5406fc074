// tvc-update: the firmware update of Tavero Companion without a display, for
// service benches, production lines and scripts.

#include "console.h"
#include "device_record.h"
#include "port_finder.h"
#include "signal_watch.h"
#include "update_options.h"
#include "update_tool.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tvc-update"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TVC_VERSION));

    SignalWatch signal_watch;
    signal_watch.install();
    Console console = Console::standard();

    UpdateOptions options;
    QString message;
    switch (read_update_options(app.arguments(), &options, &message)) {
    case OptionsVerdict::Help:
    case OptionsVerdict::Version:
        console.out.write(message.trimmed() + QLatin1Char('\n'));
        return STATUS_UPDATED;
    case OptionsVerdict::Error:
        console.err.write(QStringLiteral("tvc-update: %1\n").arg(message));
        return STATUS_PACKAGE;
    case OptionsVerdict::Run:
        break;
    }

    UpdateTool tool(options, PortFinder::system(), &console, &SignalWatch::interrupt_requested);
    QObject::connect(&tool, &UpdateTool::finished, &app, [](int status) { QCoreApplication::exit(status); });
    QObject::connect(&signal_watch, &SignalWatch::interrupted, &tool, &UpdateTool::interrupt);
    QObject::connect(&signal_watch, &SignalWatch::resized, &tool, [&] {
        if (!console.terminal)
            return;
        console.size = terminal_size(STDOUT_FILENO);
        tool.resized();
    });
    QTimer::singleShot(0, &tool, &UpdateTool::start);
    return app.exec();
}
