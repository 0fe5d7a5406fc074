#pragma once

#include "device_record.h"
#include "port_finder.h"
#include "update_input.h"
#include "update_options.h"

#include <QObject>

#include <memory>
#include <vector>

struct Console;
class UpdatePrinter;
class UpdateRun;

// The devices of one tvc-update run, one or many, updated at once: one update
// run, with its own port and engine, per device, all on the one event loop
// and all sharing the input. What happens to one device (a refusal, a silent
// device, a pulled cable, a port error) is its own: the others go on. Ports
// that another program holds are listed too, as devices not updated.
//
// A printer shows the run (see make_printer); a single device is shown as
// one, several as several (also when --all found only one).
class FleetUpdate : public QObject
{
    Q_OBJECT

public:
    FleetUpdate(const UpdateOptions &options, const QStringList &ports, const QList<SerialPortEntry> &busy,
                Console *console, QObject *parent = nullptr);
    ~FleetUpdate() override;

    // Starts every device on `input`. finished() follows once every device
    // has ended, perhaps before this returns.
    void start(const UpdateInput &input);
    // Stops every device that is still running: no further chunk goes out.
    void interrupt();
    // The console's terminal has a new size.
    void resized();

    const std::vector<DeviceRecord> &devices() const { return m_records; }
    // The exit status: a single device's own, else that of the whole run.
    int status() const;

signals:
    void finished(int status);

private:
    void device_event(int index, DeviceEvent event);
    void end();

    UpdateOptions m_options;
    bool m_several;
    std::vector<DeviceRecord> m_records;  // never resized: the runs hold their record
    std::vector<std::unique_ptr<UpdateRun>> m_runs;
    std::unique_ptr<UpdatePrinter> m_printer;
    int m_running = 0;
    bool m_starting = false;
    bool m_ended = false;
};
