#pragma once

#include <QByteArray>
#include <QtGlobal>

// What a device last reported, decoded from its replies; a fresh state is a
// device that has reported nothing yet.
struct DeviceState
{
    // Device information (reply 42).
    bool info_known = false;  // a device information reply came since the port opened
    bool is_txu = false;
    quint8 role = 0;          // 0 master, 1 client, 2 repeater, 3 other
    quint8 slot = 0;          // the raw slot field (bits 4-7)
    bool rep_mode = false;

    // The link (replies 9 and 42): 1 no link, 2 and 3 linked.
    quint8 link_state = 0;
    // The link lets signal strength be asked for: set by reply 9 with any
    // state but 1 and by reply 42 with a link, cleared by reply 9 with state 1.
    bool signal_link = false;

    // Audio (replies 21, 42, 88, 99).
    bool ph_pwr = false;
    bool muted = false;
    bool audio_known = false;
    quint8 input = 0;    // the input byte
    bool hi_z = false;   // the Hi-Z case applies to it

    // A master's RF channel (reply 45, or the one last asked for).
    quint8 rf_channel = 0;
    bool channel_known = false;

    // Signal levels (reply 120), in dBm; 0 from the device (no reading) is
    // kept as SIGNAL_NO_READING. They are live while signal reports are asked
    // for and the last one is recent; otherwise the bars show no reading.
    int level_a = -80;
    int level_b = -80;
    bool levels_live = false;

    // Versions and temperature, once reported.
    bool wlan_known = false;
    quint16 wlan_version = 0;
    bool dsp_known = false;
    quint8 dsp_major = 0;
    quint8 dsp_minor = 0;
    bool temperature_known = false;
    int temperature = 0;

    // What the program asked for on this connection.
    quint8 report_mode = 0;  // 0 off, 1 signal strength, 2 and 3 sniffer
    quint8 sniff_mode = 0;   // the sniffer mode last started (kept across connections)
};

// A signal level of 0 from the device means no reading; the bars show it at
// their floor.
constexpr int SIGNAL_NO_READING = -80;
// The lowest level of the good and the fair band; below fair a signal is weak.
constexpr int GOOD_SIGNAL = -50;
constexpr int FAIR_SIGNAL = -60;

// Report modes the program asks for.
constexpr quint8 REPORT_OFF = 0;
constexpr quint8 REPORT_SIGNAL = 1;

// Whether the device's signal levels count: every device but a TXU, whose
// window greys Signal Strength whatever it reports.
bool has_signal_strength(const DeviceState &state);

// The gain number the device's input byte stands for, as the window shows
// it: Hi-Z, MIC (bit 7 set) and LINE inputs count from different floors.
int gain_number(quint8 input, bool hi_z);

// Whether the main window lets Signal Strength be ticked for the device now:
// it is not a TXU and its link lets it. "Signal Strength for All" asks
// exactly these devices.
bool signal_strength_allowed(const DeviceState &state);

// Decodes one reply into `state`. Returns false for a frame whose code the
// device state does not follow (it changes nothing).
//
// A signal report (120) is taken whatever was asked for, from every device
// but a TXU; the sniffer's own
// report (151), the firmware transfer's replies and unknown codes change
// nothing here.
bool decode_reply(const QByteArray &frame, DeviceState *state);
