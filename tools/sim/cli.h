#pragma once

#include "options.h"

#include <QList>
#include <QObject>
#include <QStringList>

class QSocketNotifier;
class QTimer;

namespace sim {

class Device;

enum class ParseResult { Run, Help, Error };

// tvc-sim plays at most this many devices at once.
constexpr int kMaxDevices = 100;

// Reads the command line of tvc-sim into options. On Help, *message is the
// usage text; on Error, what was wrong.
ParseResult parseArguments(const QStringList &arguments, DeviceOptions *options, QString *message);

// The same for a command line that may ask for several devices (--devices N):
// one set of options per device, device 1 first, each the common options with
// that device's own (--device K:OPTIONS) on top.
ParseResult parseDevices(const QStringList &arguments, QList<DeviceOptions> *devices, QString *message);

// One line of the operator console for these devices; returns the answer.
// With one device the line is that device's command. With several, a line
// that starts with a device number (1 for the first) goes to that device
// alone, any other to every device; each answer is headed by the number.
QString runConsoleLine(const QList<Device *> &devices, const QString &line);

// Whether a console line asks to end the simulator (quit or exit).
bool isQuitCommand(const QString &line);

// Operator console: one command per line on standard input, answers on
// standard output. `quit` ends the application's event loop, and so does the
// end of input at a terminal (Ctrl+D). Input that is not a terminal (a pipe,
// a file, /dev/null) belongs to whoever started the simulator for a purpose
// of their own: at its end the console stops listening and the devices run
// on until quit or a termination signal.
class Console : public QObject
{
    Q_OBJECT
public:
    Console(const QList<Device *> &devices, int fd, QObject *parent = nullptr);

private:
    void onReadable();
    // A terminal whose foreground is another process group: ours was started
    // in the background (tvc-sim &), and a read would stop it (SIGTTIN).
    bool inBackground() const;

    QList<Device *> m_devices;
    int m_fd;
    bool m_terminal = false;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_backgroundWait = nullptr;
    QByteArray m_pending;
};

// Makes SIGINT, SIGTERM and SIGHUP end the application's event loop normally,
// so that destructors run (the symlink is removed).
bool quitOnTerminationSignals();

} // namespace sim
