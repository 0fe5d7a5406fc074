#pragma once

#include "fleet_report.h"
#include "image_chunks.h"
#include "update_options.h"

#include <QObject>

#include <cstdio>
#include <memory>
#include <vector>

class ConsoleReport;
class FirmwarePackage;
class UpdateRun;

// tvc-update over several devices at once: one update run, with its own port
// and engine, per device, all on the one event loop and all sharing the
// package and its images. What happens to one device (a refusal, a silent
// device, a pulled cable, a port error) is its own: the others go on.
//
// On a terminal each device has a line that rewrites itself; otherwise each
// device's lines are printed as they come, headed by its port. At the end a
// summary line per device and the count of results follow.
class FleetUpdate : public QObject
{
    Q_OBJECT

public:
    // `width` is the terminal's width (terminal only).
    FleetUpdate(const UpdateOptions &options, const QStringList &ports, std::FILE *out, std::FILE *err,
                bool terminal, int width, QObject *parent = nullptr);
    ~FleetUpdate() override;

    // Starts every device: with `package` a package update (or check), else
    // the raw image `raw`. finished() follows once every device has ended,
    // perhaps before this returns.
    void start(const std::shared_ptr<FirmwarePackage> &package, const FirmwareImage &raw);
    // Stops every device that is still running: no further chunk goes out.
    void interrupt();

signals:
    void finished(int status);

private:
    class Tracker;

    void changed(bool force);
    void device_finished(int index, int status);
    void end();

    UpdateOptions m_options;
    std::FILE *m_out;
    std::FILE *m_err;
    bool m_terminal;
    QList<DeviceRecord> m_records;
    std::vector<std::unique_ptr<Tracker>> m_trackers;
    std::vector<std::unique_ptr<ConsoleReport>> m_plain;
    std::vector<std::unique_ptr<UpdateRun>> m_runs;
    LiveBlock m_block;
    int m_running = 0;
    bool m_starting = false;
    bool m_ended = false;
};
