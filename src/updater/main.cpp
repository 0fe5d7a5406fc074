// tvc-update: the firmware update of Tavero Companion without a display, for
// service benches, production lines and scripts.

#include "console_report.h"
#include "port_finder.h"
#include "update_options.h"
#include "update_run.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int interrupt_pipe[2] = {-1, -1};

void on_interrupt(int)
{
    const int saved = errno;
    const char c = 1;
    (void)!::write(interrupt_pipe[1], &c, 1);
    errno = saved;
}

// Calls `handler` from the event loop on SIGINT and SIGTERM.
bool watch_interrupts(QObject *context, const std::function<void()> &handler)
{
    if (::pipe(interrupt_pipe) != 0)
        return false;
    for (int fd : interrupt_pipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    auto *notifier = new QSocketNotifier(interrupt_pipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [handler] {
        char buf[16];
        while (::read(interrupt_pipe[0], buf, sizeof buf) > 0) {
        }
        handler();
    });
    struct sigaction action = {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM})
        ::sigaction(sig, &action, nullptr);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tvc-update"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TVC_VERSION));

    UpdateOptions options;
    QString message;
    switch (read_update_options(app.arguments(), &options, &message)) {
    case OptionsVerdict::Help:
    case OptionsVerdict::Version:
        std::printf("%s\n", message.trimmed().toLocal8Bit().constData());
        return STATUS_UPDATED;
    case OptionsVerdict::Error:
        std::fprintf(stderr, "tvc-update: %s\n", message.toLocal8Bit().constData());
        return STATUS_PACKAGE;
    case OptionsVerdict::Run:
        break;
    }

    ConsoleReport report(stdout, stderr, ::isatty(STDOUT_FILENO) == 1);
    UpdateRun run(options, &report);
    QObject::connect(&run, &UpdateRun::finished, &app, [](int status) { QCoreApplication::exit(status); });
    watch_interrupts(&app, [&run] { run.interrupt(); });

    std::shared_ptr<FirmwarePackage> package;
    QTimer::singleShot(0, &app, [&] {
        if (!options.package.isEmpty()) {
            QString error;
            package = FirmwarePackage::unpack(options.package, &error);
            if (!package) {
                report.error(QObject::tr("The package %1 cannot be used: %2").arg(options.package, error));
                QCoreApplication::exit(STATUS_PACKAGE);
                return;
            }
        }
        const PortScan scan = options.port.isEmpty() ? PortFinder::system().scan()
                                                     : PortFinder::fixed(options.port).scan();
        if (scan.candidates.isEmpty()) {
            report.error(run.not_complete(
                QObject::tr("No device found (no free serial port reports the manufacturer \"%1\")")
                    .arg(BRIDGE_MANUFACTURER)));
            QCoreApplication::exit(STATUS_DEVICE);
            return;
        }
        run.start(scan.candidates.first(), package);
    });
    return app.exec();
}
