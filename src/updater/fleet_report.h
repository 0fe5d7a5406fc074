#pragma once

#include "device_record.h"

#include <QString>
#include <QStringList>

#include <vector>

// The texts tvc-update prints for the devices of a run, built from their
// records: the live line of each device, the block of them that fits a
// terminal, the summary at the end and the count of results.

// The progress line of a device's image: "WLAN 45% (45000 of 100000 bytes,
// 5.1 kB/s, about 2 min 5 s left)", ending with the time it took once the
// image is complete.
QString progress_line(const DeviceRecord &device);

// The live line of a device: port (padded to `port_width`), type, stage,
// percent and time left, a notice, or the result once it has ended. Cut at a
// word to `width` characters, so that it never wraps (0: not cut).
QString live_line(const DeviceRecord &device, int port_width, int width);

// The live lines of a terminal of `columns` x `rows` (0: not known): at most
// one line fewer than the rows, so that the block never scrolls the terminal
// and the cursor can always go back to its first line. Where the devices do
// not fit, the running ones are shown first and a last line counts the rest:
// "... and 5 more: 3 running, 2 updated" (with --check: "fit").
QStringList block_lines(const std::vector<DeviceRecord> &devices, bool check, int columns, int rows);

// One aligned line per device: port, type, WLAN and DSP versions before and
// after, the result, the time it took and, where it was not updated, why.
// "After" is what the tool knows: the package's versions once the device has
// confirmed them (with --check, the versions it would get). With a `width`,
// the reason is wrapped at words onto lines of its own, indented.
QStringList summary_lines(const std::vector<DeviceRecord> &devices, bool check, int width = 0);

// "12 updated, 1 refused, 1 failed" (with --check: "fit" for updated); the
// interrupted devices are counted where there are any.
QString count_line(const std::vector<DeviceRecord> &devices, bool check);

// The exit status of the whole run: interrupted (130) if it was, else 3 when
// any device failed, else 1 when any was refused, else 0.
int overall_status(const std::vector<DeviceRecord> &devices);
