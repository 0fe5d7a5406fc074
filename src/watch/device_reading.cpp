#include "device_reading.h"

#include "device_role.h"
#include "device_session.h"
#include "device_state.h"

void LevelStats::add(int level)
{
    if (count == 0 || level < min)
        min = level;
    if (count == 0 || level > max)
        max = level;
    sum += level;
    ++count;
}

const char *status_id(DeviceReading::Status status)
{
    switch (status) {
    case DeviceReading::Status::Read:
        return "read";
    case DeviceReading::Status::Unread:
        return "unread";
    case DeviceReading::Status::Busy:
        return "busy";
    }
    return "unread";
}

void read_session(const DeviceSession &session, DeviceReading *reading)
{
    DeviceReading &r = *reading;
    const DeviceState &s = session.state();
    r.status = s.info_known ? DeviceReading::Status::Read : DeviceReading::Status::Unread;
    r.role = s.info_known ? device_role_text(s.role, s.is_txu, s.slot, s.rep_mode) : QString();
    r.wlan_version = s.wlan_known ? QString::number(s.wlan_version) : QString();
    r.dsp_version = s.dsp_known ? QStringLiteral("%1.%2").arg(s.dsp_major).arg(s.dsp_minor) : QString();
    r.link = s.link_state == 0 ? -1 : (s.link_state == 2 || s.link_state == 3 ? 1 : 0);
    r.muted = s.audio_known ? int(s.muted) : -1;
    r.phantom_power = s.audio_known ? int(s.ph_pwr) : -1;
    r.gain_known = s.audio_known;
    r.gain = s.audio_known ? gain_number(s.input, s.hi_z) : 0;
    r.channel = s.role == 0 && s.info_known && s.channel_known ? s.rf_channel : -1;
    r.has_levels = s.info_known && has_signal_strength(s);
    // A level counts while it is live and holds a reading, as on the bars.
    const bool live = r.has_levels && s.levels_live;
    r.txu.has_last = live && s.level_a != SIGNAL_NO_READING;
    r.txu.last = s.level_a;
    r.repeater.has_last = live && s.rep_mode && s.level_b != SIGNAL_NO_READING;
    r.repeater.last = s.level_b;
}
