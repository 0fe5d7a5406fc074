#pragma once

#include <QString>
#include <QStringList>

class QCommandLineParser;
class PortFinder;

// What the command line asks for.
struct AppOptions
{
    // Port names or device paths to use instead of searching for the
    // device (--port, once for each); the window takes the first.
    QStringList ports;
    // HOST:PORT to serve the devices' metrics on (--metrics); empty: none.
    QString metrics;
};

// Declares the program's options (--port, --metrics, --help, --version) on `parser`.
void add_options(QCommandLineParser &parser);

// Whether the arguments ask only for help or the version, which need no window.
bool wants_text_only(const QStringList &arguments);

AppOptions read_options(const QCommandLineParser &parser);

// How the main window finds the device for these options.
PortFinder port_finder_for(const AppOptions &options);
