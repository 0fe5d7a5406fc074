#pragma once

#include <QString>
#include <QStringList>

// What tvc-update is asked to do.
struct UpdateOptions
{
    QString package;        // the firmware package (a zip archive)
    QString raw_file;       // or one raw image, sent without checks
    int raw_unit = -1;      // its unit; -1: by its suffix ("bin" is WLAN)
    bool check_only = false;
    QStringList ports;      // none: look for the device's bridge
    bool all = false;       // every device found, at once
    int timeout_s = 30;     // how long the device may stay silent

    // Whether several devices are updated at once (with one line each and a summary).
    bool several() const { return all || ports.size() > 1; }
};

enum class OptionsVerdict { Run, Help, Version, Error };

// Reads tvc-update's command line. For Help and Version, *message is the text
// to print; for Error, what is wrong, as one sentence.
OptionsVerdict read_update_options(const QStringList &arguments, UpdateOptions *options, QString *message);
