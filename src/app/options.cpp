#include "options.h"

#include "port_finder.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {
const QString PORT_OPTION = QStringLiteral("port");
const QString METRICS_OPTION = QStringLiteral("metrics");
}

void add_options(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QCoreApplication::translate("main",
            "Shows the status of a Tavero wireless audio device, controls it and updates its firmware.\n"
            "Without --port it looks for the device on the serial ports whose USB bridge "
            "reports the manufacturer \"Silicon Lab\"."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({PORT_OPTION,
                      QCoreApplication::translate("main",
                          "Use the serial port NAME (a port name such as ttyUSB0, or a device path "
                          "such as /dev/pts/3) instead of searching for the device. Repeated, each "
                          "port is listed in All Devices, and the window takes the first that is there."),
                      QStringLiteral("NAME")});
    parser.addOption({METRICS_OPTION,
                      QCoreApplication::translate("main",
                          "Serve the metrics of the devices the window holds for Prometheus at "
                          "http://ADDR:PORT/metrics, as tvc-watch does."),
                      QStringLiteral("ADDR:PORT")});
}

bool wants_text_only(const QStringList &arguments)
{
    static const QStringList text_only = {
        QStringLiteral("-h"), QStringLiteral("--help"), QStringLiteral("-?"),
        QStringLiteral("--help-all"), QStringLiteral("-v"), QStringLiteral("--version")};
    for (int i = 1; i < arguments.size(); ++i) {
        if (text_only.contains(arguments.at(i)))
            return true;
    }
    return false;
}

AppOptions read_options(const QCommandLineParser &parser)
{
    AppOptions options;
    options.ports = parser.values(PORT_OPTION);
    options.metrics = parser.value(METRICS_OPTION);
    return options;
}

PortFinder port_finder_for(const AppOptions &options)
{
    // The system's list tells the named ports' serial numbers.
    return options.ports.isEmpty() ? PortFinder::system() : PortFinder::fixed(options.ports, system_serial_ports);
}
