#pragma once

#include "firmware_package.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>

// What tvc-update prints when it updates several devices at once: a line per
// device while they run, then a summary. The texts are built by the pure
// functions below from what is known of each device; the engine is not known
// here.

// One device of the run.
struct DeviceRecord
{
    QString port;
    QString type;                // "TXU" or "RXU"; empty while not known
    bool versions_known = false;
    DeviceFirmware before;       // what the device reported
    QString package_wlan;        // the package's versions for the device, printable
    QString package_dsp;
    QString stage;               // what happens now: "WLAN", "DSP" while an image goes out
    QString note;                // a notice (a silent device) until the next step
    qint64 done = 0;             // bytes of the image being sent
    qint64 total = 0;
    qint64 seconds_left = -1;
    bool data_sent = false;      // image data went out, so a failure leaves the versions unknown
    int status = -1;             // the device's exit status (UpdateStatus); -1 while running
    QString reason;              // why it was not updated, one sentence
    qint64 elapsed_ms = 0;       // from the start to the end of its update
};

// "0.4 s", "12.3 s", "3 min 21 s", "1 h 5 min".
QString duration_text(qint64 ms);

// The live line of a device: port (padded to `port_width`), type, stage,
// percent and time left, or the result once it has ended. Cut to `width`
// characters, so that it never wraps on the terminal (0: not cut).
QString live_line(const DeviceRecord &device, int port_width, int width);

// One aligned line per device: port, type, WLAN and DSP versions before and
// after, the result, the time it took and, where it was not updated, why.
// "After" is what the tool knows: the package's versions once the device has
// confirmed them (with --check, the versions it would get).
QStringList summary_lines(const QList<DeviceRecord> &devices, bool check);

// "12 updated, 1 refused, 1 failed" (with --check: "fit" for updated); the
// interrupted devices are counted where there are any.
QString count_line(const QList<DeviceRecord> &devices, bool check);

// The exit status of the whole run: interrupted (130) if it was, else 3 when
// any device failed, else 1 when any was refused, else 0.
int overall_status(const QList<DeviceRecord> &devices);

// The live lines of all devices on a terminal, rewritten in place: the block
// is drawn below whatever was printed before and the cursor moved back up to
// its first line for every redraw.
class LiveBlock
{
public:
    LiveBlock(std::FILE *out, int width);

    // Draws the lines of `devices`; unless `force`, at most ten times a second.
    void draw(const QList<DeviceRecord> &devices, bool force = false);

private:
    std::FILE *m_out;
    int m_width;
    int m_drawn_lines = 0;
    QElapsedTimer m_since;
};
