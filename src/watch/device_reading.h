#pragma once

#include "alarm_rules.h"

#include <QString>
#include <QStringList>

#include <array>

class DeviceRoster;
class DeviceNames;
class AlarmWatch;
class DeviceSession;

// The levels of one signal path over a stretch of time, and the last one.
struct LevelStats
{
    bool has_last = false;  // the level is live and has a reading now
    int last = 0;
    int count = 0;          // reports with a reading in the stretch
    int min = 0;
    int max = 0;
    double sum = 0;

    void add(int level);
    double mean() const { return count ? sum / count : 0; }
    // A new stretch; the last level stays.
    void restart() { count = 0, min = 0, max = 0, sum = 0; }
};

// What one device is and reports, as tvc-watch prints it and the metrics
// tell it.
struct DeviceReading
{
    enum class Status : quint8 {
        Read,    // the device told who it is
        Unread,  // linked, or tried, but it has not told yet
        Busy,    // another program holds the port
    };

    QString port;
    QString serial;
    QString name;
    QString role;  // empty before the device told
    Status status = Status::Unread;
    QString holder;  // for Busy, where known
    QString error;   // why the port could not be opened
    QString wlan_version;
    QString dsp_version;

    int link = -1;          // 1 up, 0 down, -1 not known
    int muted = -1;         // 1, 0, -1 not known
    int phantom_power = -1;
    bool gain_known = false;
    int gain = 0;
    int channel = -1;       // a master's RF channel, -1 none
    bool has_levels = false;  // the device measures signal (not a TXU)
    LevelStats txu;          // the signal from the transmitter
    LevelStats repeater;     // the signal from the repeater
    std::array<bool, ALARM_KINDS> alarms{};  // running now

    // Counters since tvc-watch (or the window) started.
    quint64 signal_reports = 0;
    quint64 link_losses = 0;
    std::array<quint64, ALARM_KINDS> alarms_started{};
};

// The fixed identifier of a status: read, unread, busy.
const char *status_id(DeviceReading::Status status);

// Fills what the session's device reported into `reading` (identity, link,
// audio, channel, the last levels); the stretch's statistics and the
// counters stay as they are.
void read_session(const DeviceSession &session, DeviceReading *reading);
