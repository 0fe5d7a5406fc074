#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class QProcess;

namespace bench {

// Wall-clock time in nanoseconds on a steady clock.
qint64 now_ns();
// CPU time (user + system) this process has used, in nanoseconds.
qint64 cpu_ns();
// The largest resident set this process has had, in kilobytes.
long peak_rss_kb();
// The resident set now, in kilobytes.
long rss_kb();

// Runs the event loop until `condition` holds (checked every millisecond)
// or `timeout_ms` has passed; tells whether it held.
bool wait_until(const std::function<bool()> &condition, int timeout_ms);

// CPU seconds (user and system) and peak resident megabytes of another
// process `pid`, so far.
void sample_process(qint64 pid, double *cpu_seconds, double *peak_mb);

// Starts tvc-sim with `arguments` and returns the pseudo-terminal it prints.
QString start_simulator(QProcess &process, const QString &program, const QStringList &arguments);

// One line of figures: "name: value unit".
void print(const char *name, double value, const char *unit);
void print(const char *name, const QString &value);

} // namespace bench
