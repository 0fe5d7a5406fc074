#pragma once

#include "options.h"

#include <QObject>
#include <QStringList>

class QSocketNotifier;

namespace sim {

class Device;

enum class ParseResult { Run, Help, Error };

// Reads the command line of tvc-sim into options. On Help, *message is the
// usage text; on Error, what was wrong.
ParseResult parseArguments(const QStringList &arguments, DeviceOptions *options, QString *message);

// Operator console: one command per line on standard input, answers on
// standard output. Stops listening at end of input without ending the program.
class Console : public QObject
{
    Q_OBJECT
public:
    Console(Device *device, int fd, QObject *parent = nullptr);

private:
    void onReadable();

    Device *m_device;
    int m_fd;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_pending;
};

// Makes SIGINT, SIGTERM and SIGHUP end the application's event loop normally,
// so that destructors run (the symlink is removed).
bool quitOnTerminationSignals();

} // namespace sim
