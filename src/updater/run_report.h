#pragma once

#include <QString>

struct UpdateVersions;

// What an update run of tvc-update has to say, as it happens. The run knows
// nothing of how it is shown: on its own, on a line per device, or in a table.
class RunReport
{
public:
    virtual ~RunReport() = default;

    // A line of its own.
    virtual void step(const QString &text) = 0;
    // The module line changed: the image now sent, or a notice while the
    // device is silent; empty when there is nothing to show.
    virtual void module(const QString &text) = 0;
    virtual void versions(const UpdateVersions &versions) = 0;
    virtual void image_started(const QString &label, qint64 size) = 0;
    virtual void progress(qint64 done, qint64 seconds_left) = 0;
    virtual void image_done() = 0;
    // Why the run did not end well, one sentence.
    virtual void error(const QString &sentence) = 0;
};
