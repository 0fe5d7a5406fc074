#include "alarm_rules.h"

#include "frame.h"

#include <algorithm>

namespace {

// Link states 2 and 3 are a link (as the window reads them).
bool linked(quint8 link_state)
{
    return link_state == 2 || link_state == 3;
}

} // namespace

const char *alarm_id(AlarmKind kind)
{
    switch (kind) {
    case AlarmKind::LinkLost:
        return "link_lost";
    case AlarmKind::WeakSignal:
        return "weak_signal";
    case AlarmKind::NoReading:
        return "no_reading";
    case AlarmKind::Unplugged:
        break;
    }
    return "unplugged";
}

const char *event_id(DeviceEventKind kind)
{
    switch (kind) {
    case DeviceEventKind::Mute:
        return "mute";
    case DeviceEventKind::PhantomPower:
        return "phantom_power";
    case DeviceEventKind::Channel:
        break;
    }
    return "channel";
}

AlarmSettings AlarmSettings::bounded() const
{
    AlarmSettings s = *this;
    s.weak_dbm = std::clamp(s.weak_dbm, WEAK_LOWEST, WEAK_HIGHEST);
    s.clear_db = std::clamp(s.clear_db, 0, CLEAR_HIGHEST);
    s.minimum_ms = std::clamp(s.minimum_ms, 0, MINIMUM_HIGHEST_MS);
    return s;
}

AlarmRules::AlarmRules(const AlarmSettings &settings)
    : m_settings(settings.bounded())
{
}

void AlarmRules::set_settings(const AlarmSettings &settings)
{
    m_settings = settings.bounded();
    for (int device = 0; device < int(m_devices.size()); ++device) {
        qint64 at = -1;
        m_due[size_t(device)] = next_due(device, &at) == Due::Nothing ? -1 : at;
    }
}

int AlarmRules::add_device()
{
    m_devices.emplace_back();
    m_due.push_back(-1);
    return int(m_devices.size()) - 1;
}

AlarmChanges AlarmRules::opened(int device, qint64 now_ms)
{
    AlarmChanges changes;
    settle(device, now_ms, &changes);
    m_devices[size_t(device)].open = true;
    end(device, AlarmKind::Unplugged, now_ms, &changes);
    settle(device, now_ms, &changes);
    return changes;
}

AlarmChanges AlarmRules::closed(int device, bool lost, qint64 now_ms)
{
    AlarmChanges changes;
    settle(device, now_ms, &changes);
    for (AlarmKind kind : {AlarmKind::LinkLost, AlarmKind::WeakSignal, AlarmKind::NoReading})
        end(device, kind, now_ms, &changes);
    if (lost && !running(device, AlarmKind::Unplugged))
        start(device, AlarmKind::Unplugged, now_ms, &changes);
    Device &d = m_devices[size_t(device)];
    // What the device reported is forgotten with the link.
    const auto running_ids = d.running;
    std::vector<Alarm> shown = std::move(d.shown);
    d = Device();
    d.running = running_ids;
    d.shown = std::move(shown);
    m_due[size_t(device)] = -1;
    return changes;
}

AlarmChanges AlarmRules::reports_asked(int device, bool asked, qint64 now_ms)
{
    AlarmChanges changes;
    settle(device, now_ms, &changes);
    Device &d = m_devices[size_t(device)];
    if (asked && !d.asked)
        d.heard_ms = now_ms;
    d.asked = asked;
    if (!asked) {
        // Without reports nothing tells how the signal is.
        end(device, AlarmKind::WeakSignal, now_ms, &changes);
        end(device, AlarmKind::NoReading, now_ms, &changes);
        forget_runs(d);
        d.heard_ms = -1;
        if (d.link_state != 1)
            end(device, AlarmKind::LinkLost, now_ms, &changes);
    }
    settle(device, now_ms, &changes);
    return changes;
}

AlarmChanges AlarmRules::reply(int device, quint8 code, const DeviceState &state, qint64 now_ms)
{
    AlarmChanges changes;
    settle(device, now_ms, &changes);
    Device &d = m_devices[size_t(device)];
    // A reply comes from a port that is there.
    d.open = true;
    end(device, AlarmKind::Unplugged, now_ms, &changes);
    const bool report = code == RPL_SIGNAL && d.asked;
    if (report)
        d.heard_ms = now_ms;
    const bool no_link = state.link_state == 1;
    if (no_link && d.link_state != 1)
        d.no_link_since = now_ms;
    d.link_state = state.link_state;
    if (no_link && !running(device, AlarmKind::LinkLost))
        lose_link(device, now_ms, now_ms, &changes);
    // The link is back once the link state says so and the reports come.
    const bool silent = d.asked && now_ms - d.heard_ms >= SILENCE_MS;
    if (!no_link && !silent)
        end(device, AlarmKind::LinkLost, now_ms, &changes);
    if (report)
        judge_levels(device, state, now_ms, &changes);
    note_events(device, state, now_ms, &changes);
    // With no minimum time a run is an alarm at once.
    settle(device, now_ms, &changes);
    return changes;
}

AlarmChanges AlarmRules::advance(qint64 now_ms)
{
    AlarmChanges changes;
    for (int device = 0; device < int(m_devices.size()); ++device)
        settle(device, now_ms, &changes);
    return changes;
}

AlarmRules::Due AlarmRules::next_due(int device, qint64 *at) const
{
    const Device &d = m_devices[size_t(device)];
    const qint64 minimum = m_settings.minimum_ms;
    Due due = Due::Nothing;
    const auto consider = [&](Due what, qint64 when) {
        // At the same moment the runs come before the silence.
        if (due == Due::Nothing || when < *at) {
            due = what;
            *at = when;
        }
    };
    if (d.weak_since >= 0 && !running(device, AlarmKind::WeakSignal))
        consider(Due::WeakStarts, d.weak_since + minimum);
    if (d.blank_since >= 0 && !running(device, AlarmKind::NoReading))
        consider(Due::BlankStarts, d.blank_since + minimum);
    if (d.clear_since >= 0 && running(device, AlarmKind::WeakSignal))
        consider(Due::WeakEnds, d.clear_since + minimum);
    if (d.asked && d.open && d.heard_ms >= 0 && !running(device, AlarmKind::LinkLost))
        consider(Due::Silence, d.heard_ms + SILENCE_MS);
    return due;
}

qint64 AlarmRules::next_deadline() const
{
    qint64 next = -1;
    for (const qint64 due : m_due) {
        if (due >= 0 && (next < 0 || due < next))
            next = due;
    }
    return next;
}

void AlarmRules::settle(int device, qint64 now_ms, AlarmChanges *changes)
{
    for (;;) {
        qint64 at = 0;
        const Due due = next_due(device, &at);
        m_due[size_t(device)] = due == Due::Nothing ? -1 : at;
        if (due == Due::Nothing || at > now_ms)
            return;
        Device &d = m_devices[size_t(device)];
        switch (due) {
        case Due::WeakStarts:
            start(device, AlarmKind::WeakSignal, d.weak_since, changes);
            d.weak_since = -1;
            break;
        case Due::BlankStarts:
            start(device, AlarmKind::NoReading, d.blank_since, changes);
            d.blank_since = -1;
            break;
        case Due::WeakEnds:
            end(device, AlarmKind::WeakSignal, d.clear_since, changes);
            d.clear_since = -1;
            break;
        case Due::Silence:
            // The levels went stale: the link is lost from the last report.
            lose_link(device, d.heard_ms, at, changes);
            break;
        case Due::Nothing:
            return;
        }
    }
}

void AlarmRules::lose_link(int device, qint64 since, qint64 known, AlarmChanges *changes)
{
    end(device, AlarmKind::WeakSignal, known, changes);
    end(device, AlarmKind::NoReading, known, changes);
    forget_runs(m_devices[size_t(device)]);
    start(device, AlarmKind::LinkLost, since, changes);
}

void AlarmRules::judge_levels(int device, const DeviceState &state, qint64 now_ms, AlarmChanges *changes)
{
    Device &d = m_devices[size_t(device)];
    if (!linked(d.link_state) || running(device, AlarmKind::LinkLost)) {
        forget_runs(d);
        return;
    }
    const int weak = m_settings.weak_dbm;
    const int clear = m_settings.weak_dbm + m_settings.clear_db;
    bool blank = false, any_weak = false, all_clear = true;
    const auto take = [&](int level) {
        if (level == SIGNAL_NO_READING) {
            blank = true;
            all_clear = false;
            return;
        }
        any_weak = any_weak || level <= weak;
        all_clear = all_clear && level >= clear;
    };
    take(state.level_a);
    if (state.rep_mode)
        take(state.level_b);

    if (!blank) {
        d.blank_since = -1;
        end(device, AlarmKind::NoReading, now_ms, changes);
    } else if (d.blank_since < 0 && !running(device, AlarmKind::NoReading)) {
        d.blank_since = now_ms;
    }
    if (any_weak) {
        d.clear_since = -1;
        if (d.weak_since < 0 && !running(device, AlarmKind::WeakSignal))
            d.weak_since = now_ms;
        return;
    }
    d.weak_since = -1;
    if (!all_clear || !running(device, AlarmKind::WeakSignal))
        d.clear_since = -1;
    else if (d.clear_since < 0)
        d.clear_since = now_ms;
}

void AlarmRules::note_events(int device, const DeviceState &state, qint64 now_ms, AlarmChanges *changes)
{
    Device &d = m_devices[size_t(device)];
    const auto event = [&](DeviceEventKind kind, int value, int before) {
        AlarmChange change;
        change.type = AlarmChange::Event;
        change.device = device;
        change.event = {kind, now_ms, value, before};
        changes->push_back(change);
    };
    // Mute and +48V are a TXU's; what it first reports is where it stands.
    if (state.info_known && state.is_txu) {
        if (d.audio_seen && state.muted != d.muted)
            event(DeviceEventKind::Mute, state.muted ? 1 : 0, d.muted ? 1 : 0);
        if (d.audio_seen && state.ph_pwr != d.phantom)
            event(DeviceEventKind::PhantomPower, state.ph_pwr ? 1 : 0, d.phantom ? 1 : 0);
        d.audio_seen = true;
        d.muted = state.muted;
        d.phantom = state.ph_pwr;
    }
    if (state.channel_known) {
        if (d.channel_seen && state.rf_channel != d.channel)
            event(DeviceEventKind::Channel, state.rf_channel, d.channel);
        d.channel_seen = true;
        d.channel = state.rf_channel;
    }
}

void AlarmRules::start(int device, AlarmKind kind, qint64 start_ms, AlarmChanges *changes)
{
    Device &d = m_devices[size_t(device)];
    Alarm alarm;
    alarm.id = m_next_id++;
    alarm.kind = kind;
    alarm.start_ms = start_ms;
    d.running[size_t(kind)] = alarm.id;
    // The oldest past alarm goes when too many wait to be seen.
    const auto past = std::count_if(d.shown.begin(), d.shown.end(), [](const Alarm &a) { return !a.running(); });
    if (past >= PAST_SHOWN) {
        d.shown.erase(std::find_if(d.shown.begin(), d.shown.end(), [](const Alarm &a) { return !a.running(); }));
    }
    d.shown.push_back(alarm);
    AlarmChange change;
    change.type = AlarmChange::Started;
    change.device = device;
    change.alarm = alarm;
    changes->push_back(change);
}

void AlarmRules::end(int device, AlarmKind kind, qint64 end_ms, AlarmChanges *changes)
{
    Device &d = m_devices[size_t(device)];
    const quint64 id = d.running[size_t(kind)];
    if (id == 0)
        return;
    d.running[size_t(kind)] = 0;
    const auto it = std::find_if(d.shown.rbegin(), d.shown.rend(), [id](const Alarm &a) { return a.id == id; });
    Alarm alarm = *it;
    alarm.end_ms = std::max(end_ms, alarm.start_ms);
    // An alarm seen while it ran goes with its cause.
    if (alarm.acknowledged)
        d.shown.erase(std::next(it).base());
    else
        *it = alarm;
    AlarmChange change;
    change.type = AlarmChange::Ended;
    change.device = device;
    change.alarm = alarm;
    changes->push_back(change);
}

void AlarmRules::forget_runs(Device &d)
{
    d.weak_since = -1;
    d.blank_since = -1;
    d.clear_since = -1;
}

int AlarmRules::unacknowledged(int device) const
{
    const std::vector<Alarm> &shown = m_devices.at(size_t(device)).shown;
    return int(std::count_if(shown.begin(), shown.end(), [](const Alarm &a) { return !a.acknowledged; }));
}

int AlarmRules::unacknowledged() const
{
    int count = 0;
    for (int device = 0; device < int(m_devices.size()); ++device)
        count += unacknowledged(device);
    return count;
}

bool AlarmRules::acknowledge(int device)
{
    std::vector<Alarm> &shown = m_devices.at(size_t(device)).shown;
    bool changed = false;
    for (Alarm &alarm : shown) {
        changed = changed || !alarm.acknowledged;
        alarm.acknowledged = true;
    }
    const auto past = std::remove_if(shown.begin(), shown.end(), [](const Alarm &a) { return !a.running(); });
    changed = changed || past != shown.end();
    shown.erase(past, shown.end());
    return changed;
}

bool AlarmRules::acknowledge_all()
{
    bool changed = false;
    for (int device = 0; device < int(m_devices.size()); ++device)
        changed = acknowledge(device) || changed;
    return changed;
}
