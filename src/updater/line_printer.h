#pragma once

#include "update_printer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

// The lines of each device as they come: its port, its versions and the
// package's, each image with its progress, notices, and its result. On a
// terminal whose size is known (one device) the progress line rewrites
// itself; elsewhere there is a plain line every 10 %. Errors go to standard
// error, one sentence each. With several devices each line is headed by the
// device's port, and a summary follows at the end. Where the output does not
// take what is written (a paused terminal, a pipe nobody reads), progress
// waits or is left out; the other lines wait for it.
class LinePrinter : public UpdatePrinter
{
    Q_DECLARE_TR_FUNCTIONS(LinePrinter)

public:
    LinePrinter(const std::vector<DeviceRecord> &devices, Console *console, bool several, bool check);

    void device_event(int index, DeviceEvent event) override;
    void finished() override;
    void resized() override { m_resized = true; }
    ~LinePrinter() override;

private:
    struct Progress
    {
        int tenths = 0;         // the last tenth printed
        QElapsedTimer drawn;    // since the line was last drawn
        bool opened = false;    // the port was opened
    };

    QString prefix(int index) const;
    void step(int index, const QString &text);
    // Draws the progress of the device `index`; `keep`: also where the
    // output has not taken the last lines yet.
    void draw(int index, bool keep);
    void end_line();

    const std::vector<DeviceRecord> &m_devices;
    Console *m_console;
    bool m_several;
    bool m_check;
    bool m_rewrite;             // the progress line is rewritten in place
    bool m_line_open = false;   // a progress line waits to be rewritten
    int m_line_length = 0;      // its length as drawn
    bool m_resized = false;     // the terminal has changed size since
    int m_deferred = -1;        // the device whose progress waits for the terminal
    std::vector<Progress> m_progress;
};
