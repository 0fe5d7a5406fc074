#pragma once

#include "update_engine.h"
#include "update_options.h"

#include <QObject>
#include <QSerialPort>

#include <memory>

class RunReport;

// tvc-update's exit statuses.
enum UpdateStatus
{
    STATUS_UPDATED = 0,       // updated, or with --check: the package fits
    STATUS_REFUSED = 1,       // the version check refused the package
    STATUS_PACKAGE = 2,       // usage or package error
    STATUS_DEVICE = 3,        // no device, a port error, a lost link, a silent device
    STATUS_INTERRUPTED = 130  // Ctrl+C or SIGTERM
};

// One update of one device by tvc-update: opens the device's port, runs an
// engine on it, tells the report what happens and ends with a status. Several
// runs may share one event loop and one package.
class UpdateRun : public QObject
{
    Q_OBJECT

public:
    UpdateRun(const UpdateOptions &options, RunReport *report, QObject *parent = nullptr);

    // Opens `port_name` and starts the update of `package`, or with a null
    // package sends the raw image: `raw` where it is loaded (several runs
    // share it), else the file the options name. finished() follows, perhaps
    // before this returns.
    void start(const QString &port_name, std::shared_ptr<FirmwarePackage> package,
               const FirmwareImage &raw = FirmwareImage());
    // Stops at once: no further chunk goes out and the port is closed.
    void interrupt();

    // "<cause>: the update is not complete." (or the check, with --check).
    QString not_complete(const QString &cause) const;

signals:
    void finished(int status);

private:
    void finish(int status, const QString &error = QString());
    void on_failed(UpdateEngine::Failure failure, const QString &text);

    UpdateOptions m_options;
    RunReport *m_report;
    QSerialPort m_port;
    UpdateEngine m_engine;
    bool m_finished = false;
};
