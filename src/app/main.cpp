#include "language.h"
#include "options.h"
#include "tvc.h"

#include <QApplication>
#include <QCommandLineParser>


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

    int result = 0;
    {
        TVC window(port_finder_for(read_options(parser)));
        window.show();
        result = app.exec();
    }
    return result;
}
