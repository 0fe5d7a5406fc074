#pragma once

#include "device_record.h"
#include "update_engine.h"
#include "update_input.h"
#include "update_options.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>

// One update of one device by tvc-update: opens the device's port, runs an
// engine on it, keeps the device's record and ends with a status and, where
// the device was not updated, the sentence that says why. Several runs may
// share one event loop and one input.
class UpdateRun : public QObject
{
    Q_OBJECT

public:
    // `record` (its port set) is kept up to date for as long as the run lives.
    UpdateRun(const UpdateOptions &options, DeviceRecord *record, QObject *parent = nullptr);

    // Opens the record's port and starts the update of `input`. Ended
    // follows, perhaps before this returns.
    void start(const UpdateInput &input);
    // Stops at once: no further chunk goes out and the port is closed.
    void interrupt();

signals:
    void event(DeviceEvent event);

private:
    // "<cause>: nothing was sent." or "<cause>: the update is not complete."
    // (or "the check is not complete.", with --check).
    QString not_done(const QString &cause) const;
    void finish(int status, const QString &reason = QString());
    void on_failed(UpdateEngine::Failure failure, const QString &detail);

    UpdateOptions m_options;
    DeviceRecord *m_record;
    QSerialPort m_port;
    UpdateEngine m_engine;
    QElapsedTimer m_clock;
    QElapsedTimer m_image_clock;
};
