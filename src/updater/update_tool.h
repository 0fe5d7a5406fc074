#pragma once

#include "port_finder.h"
#include "update_input.h"
#include "update_options.h"

#include <QObject>

#include <functional>
#include <memory>

struct Console;
class FleetUpdate;

// One run of tvc-update from its options to its exit status: reads the
// package (or the raw image), finds the devices, updates them and prints
// what happens on the console.
class UpdateTool : public QObject
{
    Q_OBJECT

public:
    // `ports` lists the system's serial ports (for --all, or to find the one
    // device when no port is named). `interrupt_requested`, where given,
    // tells at once whether the user has asked to stop, also while the
    // package is read and the event loop waits.
    UpdateTool(const UpdateOptions &options, const PortFinder &ports, Console *console,
               std::function<bool()> interrupt_requested = {}, QObject *parent = nullptr);
    ~UpdateTool() override;

    // Runs; finished() follows, perhaps before this returns.
    void start();
    // Ctrl+C or SIGTERM: no further chunk goes out.
    void interrupt();
    // The terminal has a new size (in the console).
    void resized();

signals:
    void finished(int status);

private:
    bool interrupted() const;
    void finish(int status, const QString &error = QString());

    UpdateOptions m_options;
    PortFinder m_ports;
    Console *m_console;
    std::function<bool()> m_interrupt_requested;
    UpdateInput m_input;
    std::unique_ptr<FleetUpdate> m_fleet;
    bool m_finished = false;
};
