#pragma once

#include "device_state.h"
#include "device_state.h"

#include <QtGlobal>

#include <array>
#include <vector>

// What can go wrong with a device during a show.
enum class AlarmKind : quint8 {
    LinkLost,    // link state 1, or signal reports asked for and none for SILENCE_MS
    WeakSignal,  // a level at or below the weak threshold for the minimum time
    NoReading,   // a level without a reading for the minimum time while linked
    Unplugged,   // the port went
};
constexpr int ALARM_KINDS = 4;

// What a device did that is worth a line in the show log, but is no alarm.
enum class DeviceEventKind : quint8 {
    Mute,          // value 1 muted, 0 not
    PhantomPower,  // value 1 +48V on, 0 off
    Channel,       // value the RF channel, before the one it had
};

// Fixed English identifiers of the kinds, for files and other programs:
// link_lost, weak_signal, no_reading, unplugged; mute, phantom_power, channel.
const char *alarm_id(AlarmKind kind);
const char *event_id(DeviceEventKind kind);

// The limits the alarms follow; the user may change them.
struct AlarmSettings
{
    // A level at or below this is weak: the top of the "weak" band.
    int weak_dbm = FAIR_SIGNAL - 1;
    // A weak signal is over once every level it counts is this far above
    // weak_dbm, for the minimum time.
    int clear_db = 3;
    // A weak signal and a stretch without a reading become alarms once they
    // have lasted this long; a weak signal ends once it has been clear this long.
    int minimum_ms = 2000;

    static constexpr int WEAK_LOWEST = -100;
    static constexpr int WEAK_HIGHEST = -30;
    static constexpr int CLEAR_HIGHEST = 20;
    static constexpr int MINIMUM_HIGHEST_MS = 60000;
    // The same within the limits above.
    AlarmSettings bounded() const;

    bool operator==(const AlarmSettings &other) const
    {
        return weak_dbm == other.weak_dbm && clear_db == other.clear_db && minimum_ms == other.minimum_ms;
    }
    bool operator!=(const AlarmSettings &other) const { return !(*this == other); }
};

// One alarm of one device. Its start and end are when its cause began and
// ended, not when the rules could tell: a weak signal's alarm is raised once
// the level has been weak for the minimum time, but starts with the first
// weak report; it ends with the first report of the clear stretch that ended
// it, though the rules can only tell the minimum time later. A link lost for
// want of reports starts at the last report (or at the request for reports).
struct Alarm
{
    quint64 id = 0;  // unique in a run, from 1
    AlarmKind kind = AlarmKind::LinkLost;
    qint64 start_ms = 0;
    qint64 end_ms = -1;  // -1 while its cause lasts
    // Seen by the user: a past alarm goes once acknowledged; a running one
    // stays shown, marked seen, and goes when its cause ends.
    bool acknowledged = false;

    bool running() const { return end_ms < 0; }
    qint64 length_ms(qint64 now_ms) const { return (running() ? now_ms : end_ms) - start_ms; }
};

struct DeviceEvent
{
    DeviceEventKind kind = DeviceEventKind::Mute;
    qint64 at_ms = 0;
    int value = 0;
    int before = 0;
};

// What a call to the rules brought about, in the order it happened.
struct AlarmChange
{
    enum Type : quint8 { Started, Ended, Event };
    Type type = Started;
    int device = 0;
    Alarm alarm;        // Started and Ended
    DeviceEvent event;  // Event
};
using AlarmChanges = std::vector<AlarmChange>;

// The alarms of every device, from what the devices report and how their
// ports fare. Pure: it keeps no timer and reads no clock. Every call takes the
// time (milliseconds of a monotonic clock) and first settles what fell due
// before it, in order; next_deadline() tells the owner when to call advance().
//
// Link state 1 and an unplugged port are alarms at once; a silence of signal
// reports while they are asked for is a lost link once it has lasted
// SILENCE_MS, from the last report on. A weak signal and a missing reading
// come from the signal reports that arrive while they are asked for, and a
// level holds until the next report, or until it goes stale with the silence
// (as on the bars): a run of weak reports (or of reports without a reading)
// that holds for the minimum time is an alarm from the run's first report; a
// weak signal ends with the first report of a clear run that holds for the
// minimum time; a report that is neither weak nor clear breaks both runs.
// Level A always counts, level B in repeater mode; a level reads no reading
// at SIGNAL_NO_READING, as on the bars. The alarms of a device exclude one
// another from the top: an unplugged port ends the others, and a lost link
// ends a weak signal and a missing reading (they are about a link that is
// there) when it is known: at link state 1, or when the levels go stale.
class AlarmRules
{
public:
    // Signal reports asked for and none for this long: the link is lost.
    static constexpr qint64 SILENCE_MS = 2000;
    // Past alarms shown for a device, at most: older ones go (the show log keeps them).
    static constexpr int PAST_SHOWN = 1000;

    explicit AlarmRules(const AlarmSettings &settings = AlarmSettings());

    // New settings hold from now on; what is under way is judged by them.
    void set_settings(const AlarmSettings &settings);
    const AlarmSettings &settings() const { return m_settings; }

    // A new device, with nothing known of it; its number is the one to pass.
    int add_device();
    int device_count() const { return int(m_devices.size()); }

    // The device's port was opened.
    AlarmChanges opened(int device, qint64 now_ms);
    // The link to the device ended; `lost`: the port went.
    AlarmChanges closed(int device, bool lost, qint64 now_ms);
    // Signal reports were asked for (report mode 1), or no longer.
    AlarmChanges reports_asked(int device, bool asked, qint64 now_ms);
    // A reply with `code` came and was decoded into `state`.
    AlarmChanges reply(int device, quint8 code, const DeviceState &state, qint64 now_ms);
    // Time passed.
    AlarmChanges advance(qint64 now_ms);
    // When something falls due (for advance()), or -1 when nothing will
    // without a new input.
    qint64 next_deadline() const;

    // The alarms shown for a device: the running ones, and the past ones not
    // yet acknowledged, oldest first.
    const std::vector<Alarm> &shown(int device) const { return m_devices.at(size_t(device)).shown; }
    bool running(int device, AlarmKind kind) const { return m_devices.at(size_t(device)).running[size_t(kind)] != 0; }
    // Shown alarms the user has not acknowledged, of one device or of all.
    int unacknowledged(int device) const;
    int unacknowledged() const;
    // The device's past alarms go, its running ones are marked seen. True
    // when what is shown changed.
    bool acknowledge(int device);
    bool acknowledge_all();

private:
    struct Device
    {
        bool open = false;
        quint8 link_state = 0;
        bool asked = false;
        qint64 heard_ms = -1;  // the last signal report, or the request for them
        qint64 no_link_since = -1;
        // Runs of reports since their first: weak, without a reading, and
        // clear while a weak signal runs.
        qint64 weak_since = -1;
        qint64 blank_since = -1;
        qint64 clear_since = -1;
        // Events are changes from what the device reported before.
        bool audio_seen = false;
        bool muted = false;
        bool phantom = false;
        bool channel_seen = false;
        int channel = 0;
        std::array<quint64, ALARM_KINDS> running{};  // the running alarm's id per kind, 0 none
        std::vector<Alarm> shown;
    };

    enum class Due : quint8 { Nothing, WeakStarts, BlankStarts, WeakEnds, Silence };
    // What falls due next for the device, and when.
    Due next_due(int device, qint64 *at) const;
    // Handles what fell due up to `now`, in time order, and notes when the
    // device's next moment is due.
    void settle(int device, qint64 now_ms, AlarmChanges *changes);
    // The link is lost from `since`; the alarms about the signal end at `known`.
    void lose_link(int device, qint64 since, qint64 known, AlarmChanges *changes);
    void judge_levels(int device, const DeviceState &state, qint64 now_ms, AlarmChanges *changes);
    void note_events(int device, const DeviceState &state, qint64 now_ms, AlarmChanges *changes);
    void start(int device, AlarmKind kind, qint64 start_ms, AlarmChanges *changes);
    void end(int device, AlarmKind kind, qint64 end_ms, AlarmChanges *changes);
    static void forget_runs(Device &d);

    AlarmSettings m_settings;
    std::vector<Device> m_devices;
    std::vector<qint64> m_due;  // each device's next moment due, or -1
    quint64 m_next_id = 1;
};
