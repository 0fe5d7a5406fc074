#include "device_state.h"

#include "frame.h"

namespace {

// A signal level of 0 means no reading.
int signal_level(const QByteArray &frame, int offset)
{
    const int level = frame_s16(frame, offset);
    return level == 0 ? SIGNAL_NO_READING : level;
}

} // namespace

bool has_signal_strength(const DeviceState &state)
{
    return !state.is_txu;
}

int gain_number(quint8 input, bool hi_z)
{
    if (hi_z)
        return (input & 127) + 2;
    if (input & 0x80)
        return (input & 127) + 4;
    return int(input) - 8;
}

bool signal_strength_allowed(const DeviceState &state)
{
    return has_signal_strength(state) && state.signal_link;
}

bool decode_reply(const QByteArray &frame, DeviceState *state)
{
    DeviceState &s = *state;
    const quint8 b8 = frame_u8(frame, 8);
    const quint8 b9 = frame_u8(frame, 9);
    switch (frame_code(frame)) {
    case RPL_LINK_STATE:
        s.link_state = b8;
        s.signal_link = b8 != 1;
        return true;
    case RPL_AUDIO:
        s.input = b8;
        s.hi_z = b9 != 0 && s.ph_pwr;
        s.audio_known = true;
        return true;
    case RPL_DEVICE_INFO:
        s.info_known = true;
        s.is_txu = (b8 & 0x04) != 0;
        s.role = b8 & 0x03;
        s.rep_mode = (b8 & 0x08) != 0;
        s.slot = quint8(b8 >> 4);
        if (s.is_txu) {
            s.muted = (b9 & 0x10) != 0;
            s.ph_pwr = (b9 & 0x20) != 0;
            s.input = frame_u8(frame, 10);
            s.hi_z = (b9 & 0x60) == 0x60;
            s.audio_known = true;
            s.link_state = b9 & 0x0F;
        } else {
            s.link_state = b9;
        }
        // Device information never takes the signal away; only reply 9 does.
        if (s.link_state == 2 || s.link_state == 3)
            s.signal_link = true;
        return true;
    case RPL_CHANNEL:
        s.rf_channel = b8;
        s.channel_known = true;
        return true;
    case RPL_VERSION:
        if (frame_unit(frame) == UNIT_WLAN) {
            s.wlan_version = frame_u16(frame, 8);
            s.wlan_known = true;
        } else {
            s.dsp_major = b9;
            s.dsp_minor = b8;
            s.dsp_known = true;
        }
        return true;
    case RPL_TEMPERATURE:
        s.temperature = frame_s16(frame, 8);
        s.temperature_known = true;
        return true;
    case RPL_PHANTOM:
        s.ph_pwr = b8 != 0;
        return true;
    case RPL_MUTE:
        s.muted = b8 != 0;
        return true;
    case RPL_SIGNAL:
        if (!has_signal_strength(s))
            return false;
        s.level_a = signal_level(frame, 8);
        s.level_b = s.rep_mode ? signal_level(frame, 10) : SIGNAL_NO_READING;
        s.levels_live = true;
        return true;
    default:
        return false;
    }
}
