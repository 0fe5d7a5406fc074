#pragma once

#include "firmware_package.h"
#include "update_engine.h"

#include <QString>

// tvc-update's exit statuses; each device of a run ends with one too.
enum UpdateStatus
{
    STATUS_UPDATED = 0,       // updated, or with --check: the package fits
    STATUS_REFUSED = 1,       // the version check refused the package
    STATUS_PACKAGE = 2,       // usage or package error
    STATUS_DEVICE = 3,        // no device, a busy port, a port error, a lost link, a silent device
    STATUS_INTERRUPTED = 130  // Ctrl+C or SIGTERM
};

// Where a device's update stands.
enum class DeviceStage
{
    Starting,   // opening the port, asking the device
    Checking,   // the versions are known; the check and the images follow
    Sending,    // an image goes out
    Finishing,  // the images are out; the device confirms
    Ended
};

// What happened to a device, for the printers; the record says the rest.
enum class DeviceEvent
{
    Opened,        // the port is open and the device is asked
    Versions,      // the device's and the package's versions are known
    ImageStarted,
    Progress,
    ImageDone,
    Notice,        // the device is silent, or answers again
    Ended          // status and reason are set
};

// What tvc-update knows of one device of a run: values only; the printers
// word them.
struct DeviceRecord
{
    QString port;
    QString type;                // "TXU" or "RXU"; empty while not known
    bool versions_known = false;
    DeviceFirmware before;       // what the device reported
    QString package_name;        // the package's values for the device, printable
    QString package_wlan;
    QString package_dsp;

    DeviceStage stage = DeviceStage::Starting;
    quint8 unit = 0;             // of the image being sent
    UpdateEngine::Notice notice = UpdateEngine::Notice::None;
    int silent_seconds = 0;      // with a notice
    qint64 done = 0;             // bytes of the image acknowledged
    qint64 total = 0;            // the image's size
    qint64 image_ms = 0;         // from the image's start to the last acknowledgement
    qint64 seconds_left = -1;    // of the whole update
    bool data_sent = false;      // image data went out, so a failure leaves the versions unknown

    int status = -1;             // the device's exit status (UpdateStatus); -1 while running
    QString reason;              // why it was not updated, one sentence
    qint64 elapsed_ms = 0;       // from the start to the end of its update
};
