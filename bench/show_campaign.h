#pragma once

// The show campaign: simulated devices whose signals wander, whose links
// drop, whose signals dip and go without a reading, that fall silent and get
// unplugged, watched by the program's alarm watch; and a judge that holds the
// alarms the watch told against what the devices did.

#include "alarm_watch.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <vector>

namespace show {

// What a device did that may cause an alarm, as its own stream shows it.
enum class Cause : quint8 {
    NoLink,     // link state 1 sent
    Silence,    // no signal report while asked for (gaps from a second on)
    Unplugged,  // its cable pulled
    Weak,       // a run of reports with a level it counts at or below the weak threshold
    Blank,      // a run of reports with a level it counts without a reading
    Clear,      // a run of reports with every level it counts clear of the weak threshold
};
constexpr int CAUSES = 6;
const char *cause_name(Cause cause);

struct Spell
{
    int device = 0;
    Cause cause = Cause::NoLink;
    qint64 start_ms = 0;  // its first report, or the moment it began
    qint64 last_ms = 0;   // its last report (a run), the moment it ended, or the end of the show
    qint64 end_ms = -1;   // what ended it: a report, or the moment; -1 going on at the end

    // Till it ended, or till the end of the show: a level holds until the
    // next report, or until it goes stale.
    qint64 length_ms() const;
};

// The log of what simulated devices did, kept by the alarms' own definitions
// from the frames each device sent, its cable, and the requests for reports it
// received. It reads the frames' bytes itself.
class CauseLog
{
public:
    CauseLog(int devices, const AlarmSettings &settings);

    void plugged(int device, qint64 ms);
    void unplugged(int device, qint64 ms);
    void asked(int device, bool on, qint64 ms);
    // A frame the device sent at `ms`.
    void sent(int device, const QByteArray &frame, qint64 ms);
    // The end of the run: what goes on stays open.
    void finish(qint64 ms);

    const std::vector<Spell> &spells() const { return m_spells; }

private:
    struct Device
    {
        bool plugged = false;
        bool asked = false;
        bool repeater = false;
        int link = 0;
        qint64 heard = -1;
        std::array<int, CAUSES> open;  // the open spell of each cause, or -1
        Device() { open.fill(-1); }
    };

    void begin(int device, Cause cause, qint64 ms);
    void extend(int device, Cause cause, qint64 ms);  // a run goes on (or begins) with a report
    void close(int device, Cause cause, qint64 ms);
    void close_runs(int device, qint64 ms);
    void set_link(int device, int link, qint64 ms);
    void check_gap(int device, qint64 ms);

    AlarmSettings m_settings;
    std::vector<Device> m_devices;
    std::vector<Spell> m_spells;
};

// An alarm as the watch told it, and when.
struct Told
{
    int device = 0;
    AlarmKind kind = AlarmKind::LinkLost;
    quint64 id = 0;
    qint64 start_ms = 0;
    qint64 end_ms = -1;
    qint64 raised_ms = 0;  // when the watch told it started
};

// What the judge found, by the alarm's kind.
struct Tally
{
    int causes = 0;            // causes that had to raise this alarm (long enough)
    int raised_in_time = 0;    // ... and raised it within the time allowed
    int late = 0;              // ... raised it late
    int missed = 0;            // ... did not raise it
    QVector<double> delay_ms;  // how long after the minimum time the alarm came, each time
    int alarms = 0;            // alarms told
    int without_cause = 0;     // ... whose start no cause of theirs explains
    int ended = 0;             // ... that ended
    int wrong_end = 0;         // ... at a moment no cause of theirs explains
};

struct Verdict
{
    std::array<Tally, ALARM_KINDS> kinds;
    QStringList faults;  // the first few, in words
    int fault_count = 0;
    bool ok() const { return fault_count == 0; }
};

// How long a cause must last before its alarm is due.
qint64 minimum_for(Cause cause, const AlarmSettings &settings);

// Judges the alarms against the causes: every cause that lasted its minimum
// time raised its alarm within `within_ms` of that time; every alarm started
// with a cause that lasted it, and ended when a cause of its ended or a
// stronger alarm took over. Times agree within `tolerance_ms` (the watch sees
// a frame later than the device sent it); an unplugged port's alarm ends
// within `reopen_ms` of its cable plugged in (when the port is opened again).
Verdict judge(const std::vector<Spell> &spells, const std::vector<Told> &alarms, const AlarmSettings &settings,
              qint64 tolerance_ms, qint64 reopen_ms, qint64 within_ms = 500);

} // namespace show
