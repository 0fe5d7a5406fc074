#pragma once

#include <QString>
#include <QStringList>

// What tvc-watch is asked to do.
struct WatchOptions
{
    enum class Format { Table, Json, Csv };

    QStringList ports;       // none: every device found
    bool follow = false;     // keep watching
    int interval_ms = 1000;  // a reading of every device this often while following
    Format format = Format::Table;
    QString metrics;         // HOST:PORT to serve the metrics on; empty: none
};

enum class WatchVerdict { Run, Help, Version, Error };

// Reads tvc-watch's command line. For Help and Version, *message is the text
// to print; for Error, what is wrong, as one sentence.
WatchVerdict read_watch_options(const QStringList &arguments, WatchOptions *options, QString *message);
