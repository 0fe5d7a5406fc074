// tvc-watch: every attached Tavero device without a window, for scripts and
// monitoring: a table, JSON lines or CSV, and Prometheus metrics.

#include "console.h"
#include "language.h"
#include "port_finder.h"
#include "signal_watch.h"
#include "watch_options.h"
#include "watch_tool.h"

#include <QCoreApplication>
#include <QTimer>

#include <memory>

namespace {

// What is left to write at the end gets this long; a stop must be quick.
constexpr int LAST_WORDS_MS = 500;

int ended(Console &console, int status)
{
    console.out.drain(LAST_WORDS_MS);
    console.err.drain(LAST_WORDS_MS);
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tvc-watch"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TVC_VERSION));
    install_desktop_language(app);

    SignalWatch signal_watch;
    signal_watch.install();
    const std::unique_ptr<Console> console = Console::standard();

    WatchOptions options;
    QString message;
    switch (read_watch_options(app.arguments(), &options, &message)) {
    case WatchVerdict::Help:
    case WatchVerdict::Version:
        console->out.write(message.trimmed() + QLatin1Char('\n'));
        return ended(*console, WATCH_ALL_READ);
    case WatchVerdict::Error:
        console->err.write(QStringLiteral("tvc-watch: %1\n").arg(message));
        return ended(*console, WATCH_USAGE);
    case WatchVerdict::Run:
        break;
    }

    // Named ports are taken as they are; the system's list tells their serial numbers.
    const PortFinder finder =
        options.ports.isEmpty() ? PortFinder::system() : PortFinder::fixed(options.ports, system_serial_ports);
    WatchTool tool(options, finder, console.get());
    QObject::connect(&tool, &WatchTool::finished, &app, [](int status) { QCoreApplication::exit(status); });
    QObject::connect(&signal_watch, &SignalWatch::interrupted, &tool, &WatchTool::interrupt);
    QTimer::singleShot(0, &tool, &WatchTool::start);
    return ended(*console, app.exec());
}
