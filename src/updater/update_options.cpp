#include "update_options.h"

#include "frame.h"
#include "port_finder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <utility>

OptionsVerdict read_update_options(const QStringList &arguments, UpdateOptions *options, QString *message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate("main",
        "Updates the firmware of a Tavero device from a package, as the firmware dialog of\n"
        "Tavero Companion does: it asks the device for its type and versions, checks them\n"
        "against the package, sends the WLAN image and the DSP image for the device's type,\n"
        "and waits for the device to confirm the update.\n"
        "\n"
        "With --all, or --port given several times, it updates several devices at once, each\n"
        "on its own, and ends with a summary line per device and a count of the results.\n"
        "\n"
        "Exit status: 0 updated (with --check: the package fits), 1 refused by the version\n"
        "check, 2 usage or package error, 3 device or link failure, 130 interrupted. With\n"
        "several devices: 0 when all were updated, 1 when the only failures were refusals,\n"
        "3 when any device failed."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QCoreApplication::translate("main", "Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QCoreApplication::translate("main", "Show the program's name and version."));
    const QCommandLineOption port(QStringLiteral("port"),
        QCoreApplication::translate("main",
            "Use the serial port NAME (such as ttyUSB0 or /dev/pts/3) instead of the first free port "
            "whose USB bridge reports the manufacturer \"Silicon Lab\". Give it several times to "
            "update several devices at once."),
        QStringLiteral("NAME"));
    const QCommandLineOption all(QStringLiteral("all"),
        QCoreApplication::translate("main",
            "Update every device at once: every free port whose USB bridge reports the manufacturer "
            "\"Silicon Lab\"."));
    const QCommandLineOption check(QStringLiteral("check"),
        QCoreApplication::translate("main", "Print each image's size and SHA-256, ask and check the versions "
                                            "only; send no image."));
    const QCommandLineOption raw(QStringLiteral("raw"),
        QCoreApplication::translate("main", "Send the single image FILE without any check (service use)."),
        QStringLiteral("FILE"));
    const QCommandLineOption unit(QStringLiteral("unit"),
        QCoreApplication::translate("main", "The unit of the --raw image: wlan or dsp (default: wlan for *.bin, "
                                            "dsp otherwise)."),
        QStringLiteral("UNIT"));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
        QCoreApplication::translate("main", "Give up when the device stays silent this long (default 30)."),
        QStringLiteral("SECONDS"), QStringLiteral("30"));
    parser.addOptions({help, version, port, all, check, raw, unit, timeout});
    parser.addPositionalArgument(QStringLiteral("PACKAGE.zip"),
                                 QCoreApplication::translate("main", "The firmware package."));

    auto error = [message](const QString &text) {
        *message = text;
        return OptionsVerdict::Error;
    };
    if (!parser.parse(arguments))
        return error(parser.errorText());
    if (parser.isSet(help)) {
        *message = parser.helpText();
        return OptionsVerdict::Help;
    }
    if (parser.isSet(version)) {
        *message = QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion();
        return OptionsVerdict::Version;
    }

    UpdateOptions o;
    o.ports = parser.values(port);
    o.all = parser.isSet(all);
    if (o.all && !o.ports.isEmpty())
        return error(QCoreApplication::translate("main", "--all and --port exclude each other."));
    QStringList files;
    for (const QString &name : std::as_const(o.ports)) {
        // Two names of one port (a name and its path, a symlink) would make
        // two updates fight over one device.
        const QString file = port_file(name);
        if (files.contains(file))
            return error(QCoreApplication::translate("main", "The port %1 is named twice.").arg(name));
        files.append(file);
    }
    o.check_only = parser.isSet(check);
    bool ok = false;
    o.timeout_s = parser.value(timeout).toInt(&ok);
    if (!ok || o.timeout_s < 1 || o.timeout_s > 24 * 3600)
        return error(QCoreApplication::translate("main", "The timeout must be a whole number of seconds from 1 to 86400."));

    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(raw)) {
        if (!positional.isEmpty() || o.check_only)
            return error(QCoreApplication::translate("main", "--raw sends one image: it takes no package and no --check."));
        o.raw_file = parser.value(raw);
        const QString unit_name = parser.value(unit).toLower();
        if (unit_name == QLatin1String("wlan"))
            o.raw_unit = UNIT_WLAN;
        else if (unit_name == QLatin1String("dsp"))
            o.raw_unit = UNIT_DSP;
        else if (parser.isSet(unit))
            return error(QCoreApplication::translate("main", "--unit is wlan or dsp."));
        else
            o.raw_unit = QFileInfo(o.raw_file).suffix() == QLatin1String("bin") ? UNIT_WLAN : UNIT_DSP;
    } else {
        if (parser.isSet(unit))
            return error(QCoreApplication::translate("main", "--unit goes with --raw."));
        if (positional.size() != 1)
            return error(QCoreApplication::translate("main", "Name one firmware package (see --help)."));
        o.package = positional.first();
    }
    *options = o;
    return OptionsVerdict::Run;
}
