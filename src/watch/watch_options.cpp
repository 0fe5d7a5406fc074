#include "watch_options.h"

#include "metrics.h"
#include "port_finder.h"

#include <QCommandLineParser>
#include <QCoreApplication>

WatchVerdict read_watch_options(const QStringList &arguments, WatchOptions *options, QString *message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate("watch",
        "Shows every attached Tavero device without a window: its role, link, signal levels,\n"
        "audio settings and alarms, for scripts and monitoring. By default it reads each device\n"
        "once and prints a table; --follow keeps watching.\n"
        "\n"
        "Exit status: 0 every device was read, 1 no device was found, 2 usage error or the\n"
        "metrics address cannot be had, 3 some device could not be read."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QCoreApplication::translate("watch", "Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QCoreApplication::translate("watch", "Show the program's name and version."));
    const QCommandLineOption port(QStringLiteral("port"),
        QCoreApplication::translate("watch",
            "Watch the serial port NAME (such as ttyUSB0 or /dev/pts/3) instead of every port whose USB "
            "bridge reports the manufacturer \"Silicon Lab\". Give it several times for several devices."),
        QStringLiteral("NAME"));
    const QCommandLineOption follow(QStringLiteral("follow"),
        QCoreApplication::translate("watch",
            "Keep watching: print events and alarms as they happen, and a reading of every device with "
            "the lowest, mean and highest signal level of each interval."));
    const QCommandLineOption interval(QStringLiteral("interval"),
        QCoreApplication::translate("watch", "With --follow, a reading every SECONDS (default 1)."),
        QStringLiteral("SECONDS"), QStringLiteral("1"));
    const QCommandLineOption json(QStringLiteral("json"),
        QCoreApplication::translate("watch", "Print one JSON object per line."));
    const QCommandLineOption csv(QStringLiteral("csv"),
        QCoreApplication::translate("watch", "Print CSV with one header row."));
    const QCommandLineOption metrics(QStringLiteral("metrics"),
        QCoreApplication::translate("watch",
            "Serve Prometheus metrics at http://ADDR:PORT/metrics while following (implies --follow)."),
        QStringLiteral("ADDR:PORT"));
    parser.addOptions({help, version, port, follow, interval, json, csv, metrics});

    auto error = [message](const QString &text) {
        *message = text;
        return WatchVerdict::Error;
    };
    if (!parser.parse(arguments))
        return error(parser.errorText());
    if (parser.isSet(help)) {
        *message = parser.helpText();
        return WatchVerdict::Help;
    }
    if (parser.isSet(version)) {
        *message = QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion();
        return WatchVerdict::Version;
    }
    if (!parser.positionalArguments().isEmpty())
        return error(QCoreApplication::translate("watch", "tvc-watch takes no arguments but its options (see --help)."));

    WatchOptions o;
    o.ports = parser.values(port);
    QStringList files;
    for (const QString &name : std::as_const(o.ports)) {
        const QString file = port_file(name);
        if (files.contains(file))
            return error(QCoreApplication::translate("watch", "The port %1 is named twice.").arg(name));
        files.append(file);
    }
    if (parser.isSet(json) && parser.isSet(csv))
        return error(QCoreApplication::translate("watch", "--json and --csv exclude each other."));
    o.format = parser.isSet(json) ? WatchOptions::Format::Json
             : parser.isSet(csv)  ? WatchOptions::Format::Csv
                                  : WatchOptions::Format::Table;
    o.metrics = parser.value(metrics);
    o.follow = parser.isSet(follow) || parser.isSet(metrics);
    if (parser.isSet(metrics)) {
        QString host, problem;
        int number = 0;
        if (!split_listen_address(o.metrics, &host, &number, &problem))
            return error(problem);
    }
    bool ok = false;
    const double seconds = parser.value(interval).toDouble(&ok);
    if (!ok || !(seconds >= 0.1 && seconds <= 3600))
        return error(QCoreApplication::translate("watch", "The interval must be from 0.1 to 3600 seconds."));
    if (parser.isSet(interval) && !o.follow)
        return error(QCoreApplication::translate("watch", "--interval goes with --follow."));
    o.interval_ms = int(seconds * 1000 + 0.5);
    *options = o;
    return WatchVerdict::Run;
}
