#include "device_roster.h"
#include "language.h"
#include "metrics.h"
#include "options.h"
#include "tvc.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>


namespace {

void describe(QCoreApplication &app)
{
    app.setApplicationName(QStringLiteral("Tavero Companion"));
    app.setApplicationVersion(QStringLiteral(TVC_VERSION));
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    // Help and version need no window, so they also work without a display.
    // Both speak the desktop's language, chosen before any text is made.
    if (wants_text_only(arguments)) {
        QCoreApplication app(argc, argv);
        describe(app);
        install_desktop_language(app);
        QCommandLineParser parser;
        add_options(parser);
        parser.process(app);
        return 0;
    }

    QApplication app(argc, argv);
    describe(app);
    install_desktop_language(app);
    QCommandLineParser parser;
    add_options(parser);
    // Lets a desktop match the window to its menu entry (name and icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.tavero.Companion"));
    parser.process(app);

    const AppOptions options = read_options(parser);
    int result = 0;
    {
        TVC window(port_finder_for(options));
        // One port has one owner: the window serves the metrics of its own devices.
        std::unique_ptr<WindowMetrics> metrics;
        if (!options.metrics.isEmpty()) {
            metrics = std::make_unique<WindowMetrics>(window.findChild<DeviceRoster *>());
            QString error;
            if (!metrics->listen(options.metrics, &error)) {
                std::fprintf(stderr, "tvc: %s\n", qPrintable(error));
                return 2;
            }
        }
        window.show();
        result = app.exec();
    }
    return result;
}
