// tvc-update: the firmware update of Tavero Companion without a display, for
// service benches, production lines and scripts.

#include "console_report.h"
#include "fleet_update.h"
#include "package_listing.h"
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
#include <sys/ioctl.h>
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

// The width of the terminal on standard output (80 when it does not say).
int terminal_width()
{
    winsize size = {};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

// Reads what several devices will share, before any of them is touched: the
// package's images (each once), or the raw image. The WLAN image goes to every
// device, so without it there is nothing to do; a DSP image that cannot be
// read fails only the devices of its type, each saying why.
bool read_shared_images(const UpdateOptions &options, FirmwarePackage *package, FirmwareImage *raw, QString *error)
{
    if (!package)
        return raw->load(options.raw_file, error);
    FirmwareImage image;
    if (!package->image(WLAN_IMAGE_FILE, &image, error))
        return false;
    QString ignored;
    for (const QString &file : {TXU_IMAGE_FILE, RXU_IMAGE_FILE})
        package->image(file, &image, &ignored);
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

    const bool terminal = ::isatty(STDOUT_FILENO) == 1;
    ConsoleReport report(stdout, stderr, terminal);
    UpdateRun run(options, &report);
    QObject::connect(&run, &UpdateRun::finished, &app, [](int status) { QCoreApplication::exit(status); });
    std::unique_ptr<FleetUpdate> fleet;
    watch_interrupts(&app, [&] {
        if (fleet)
            fleet->interrupt();
        else
            run.interrupt();
    });

    std::shared_ptr<FirmwarePackage> package;
    QTimer::singleShot(0, &app, [&] {
        if (!options.package.isEmpty()) {
            QString error;
            package = FirmwarePackage::read(options.package, &error);
            if (!package) {
                report.error(QObject::tr("The package %1 cannot be used: %2").arg(options.package, error));
                QCoreApplication::exit(STATUS_PACKAGE);
                return;
            }
            if (options.check_only) {
                for (const QString &line : image_lines(*package))
                    report.step(line);
            }
        }
        if (options.several()) {
            FirmwareImage raw;
            QString error;
            if (!read_shared_images(options, package.get(), &raw, &error)) {
                report.error(package ? QObject::tr("The package %1 cannot be used: %2").arg(options.package, error)
                                     : error);
                QCoreApplication::exit(STATUS_PACKAGE);
                return;
            }
            const QStringList ports = options.all ? PortFinder::system().scan().candidates : options.ports;
            if (ports.isEmpty()) {
                report.error(QObject::tr("No device found (no free serial port reports the manufacturer \"%1\").")
                                 .arg(BRIDGE_MANUFACTURER));
                QCoreApplication::exit(STATUS_DEVICE);
                return;
            }
            fleet = std::make_unique<FleetUpdate>(options, ports, stdout, stderr, terminal, terminal_width());
            QObject::connect(fleet.get(), &FleetUpdate::finished, &app,
                             [](int status) { QCoreApplication::exit(status); });
            fleet->start(package, raw);
            return;
        }
        const PortScan scan = options.ports.isEmpty() ? PortFinder::system().scan()
                                                      : PortFinder::fixed(options.ports.first()).scan();
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
