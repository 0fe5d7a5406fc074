// tvc-update: the firmware update of Tavero Companion without a display, for
// service benches, production lines and scripts.

#include "console.h"
#include "device_record.h"
#include "language.h"
#include "port_finder.h"
#include "signal_watch.h"
#include "update_options.h"
#include "update_tool.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>
#include <unistd.h>

namespace {

// At the end the last lines (the summary, the result) wait this long for an
// output that takes nothing (a terminal paused with Ctrl+S, a stalled ssh
// session, a pipe nobody reads); then the tool ends with its status anyway.
// The devices are done by then: the wait costs a script only time.
constexpr int LAST_WORDS_MS = 5000;

// Waits for the console's last lines, as long as LAST_WORDS_MS allows and
// the user does not interrupt the wait; then `status`.
int ended(Console &console, int status)
{
    const int interrupts = SignalWatch::interrupt_count();
    const auto interrupted = [interrupts] { return SignalWatch::interrupt_count() != interrupts; };
    QElapsedTimer clock;
    clock.start();
    console.out.drain(LAST_WORDS_MS, interrupted);
    console.err.drain(int(qMax<qint64>(0, LAST_WORDS_MS - clock.elapsed())), interrupted);
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tvc-update"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TVC_VERSION));
    // The words in the desktop's language; numbers, checksums and exit
    // statuses stay as they are in every language.
    install_desktop_language(app);

    SignalWatch signal_watch;
    signal_watch.install();
    const std::unique_ptr<Console> console = Console::standard();

    UpdateOptions options;
    QString message;
    switch (read_update_options(app.arguments(), &options, &message)) {
    case OptionsVerdict::Help:
    case OptionsVerdict::Version:
        console->out.write(message.trimmed() + QLatin1Char('\n'));
        return ended(*console, STATUS_UPDATED);
    case OptionsVerdict::Error:
        console->err.write(QStringLiteral("tvc-update: %1\n").arg(message));
        return ended(*console, STATUS_PACKAGE);
    case OptionsVerdict::Run:
        break;
    }

    UpdateTool tool(options, PortFinder::system(), console.get(), &SignalWatch::interrupt_requested);
    QObject::connect(&tool, &UpdateTool::finished, &app, [](int status) { QCoreApplication::exit(status); });
    QObject::connect(&signal_watch, &SignalWatch::interrupted, &tool, &UpdateTool::interrupt);
    QObject::connect(&signal_watch, &SignalWatch::resized, &tool, [&] {
        if (!console->terminal)
            return;
        // A terminal that no longer tells its size keeps the last one it told.
        const TerminalSize size = terminal_size(STDOUT_FILENO);
        if (!size.known())
            return;
        console->size = size;
        tool.resized();
    });
    QTimer::singleShot(0, &tool, &UpdateTool::start);
    return ended(*console, app.exec());
}
