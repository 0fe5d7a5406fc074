#pragma once

#include "signalwalk.h"

#include <QString>
#include <QtGlobal>

#include <random>

namespace sim {

enum class Role : quint8 { Master = 0, Client = 1, Repeater = 2, Unknown = 3 };

// Everything the simulated device is: its identity, its current state (the
// device changes these fields as commands arrive) and the fault switches.
struct DeviceOptions
{
    // Identity, reported with the device information reply.
    Role role = Role::Client;
    bool txu = true;
    bool repeaterMode = false;
    int slot = 1;                // 0..15

    // Live state.
    int linkState = 2;           // 1 = no link, 2 and 3 = linked
    bool muted = false;
    bool phantom = false;        // +48V
    bool hiZ = false;
    quint8 input = 8;            // bit 7 set: MIC mode, else LINE mode
    int channel = 36;
    int temperature = 38;        // signed 16-bit
    int signalLevel = 0;         // signal reports: 0 levels that wander; otherwise this level (dBm, -32768..-1)
    quint16 wlanVersion = 1650;
    quint8 dspMajor = 3;
    quint8 dspMinor = 12;
    int deviceType = -1;         // answer to the device-type request; -1: 4 for a TXU, 8 otherwise

    // Timing of the device's own activity.
    int reportPeriodMs = 200;    // signal and sniffer reports
    int reportModeAtStart = 0;   // >0: reports of this mode (1 signal, 2 or 3 sniffer) from the program's first request on
    bool signalWalk = false;     // levels wander with dropouts (see SignalWalk) instead of a sawtooth
    int walkSeed = 1;            // the walk's random seed
    double walkNoReadingEvery = SignalWalk::kNoReadingEvery;  // the walk's spells without a reading, on average every (s; 0 never)
    double walkLinkDropEvery = SignalWalk::kLinkDropEvery;    // ... its drops of the link
    double walkDipEvery = 0;                                  // ... its dips into the weak band
    int linkRestoreMs = 1000;    // LINK drops the link for this long

    // Output and logging.
    QString logPath;             // empty: standard error
    QString logTag;              // put before every log line (which of several devices speaks); empty: none
    bool logFrames = true;       // one hex line per frame in and out (off for speed)
    bool recordFrames = true;    // keep received and sent frames in memory for tests
    QString symlinkPath;         // symlink to the slave, made while the link is up
    QString imageDir;            // completed firmware images are written here if set

    // Fault switches.
    int splitSize = 0;           // >0: write replies in pieces of this many bytes
    int splitSizeMax = 0;        // > splitSize: pieces of a random length from splitSize to this
    int splitPauseMs = 3;        // pause between pieces
    int mergeCount = 0;          // >1: hold replies and write this many at once
    int mergeHoldMs = 50;        // ... or whatever is held after this long
    int ackDelayMs = 0;          // delay before each firmware acknowledgement
    int ackDelayMaxMs = 0;       // > ackDelayMs: a random delay from ackDelayMs to this, each time
    int finishDelayMs = 0;       // delay before confirming a firmware finish (a flash commit)
    int finishDelayMaxMs = 0;    // > finishDelayMs: a random delay up to this, each time
    bool wirePacing = false;     // every frame in and out takes its time at 115200 baud
    int duplicateAckAt = -1;     // acknowledge this firmware chunk twice (0-based count of data frames)
    double duplicateAckChance = 0; // each firmware chunk is acknowledged twice with this probability
    int hangUpAt = -1;           // hang up on receiving this firmware chunk (same count)
    bool ignoreMalformed = false; // do not act on malformed frames (they are always counted)

    // Line faults on the way to the program (see LineFaults).
    int dropEvery = 0;           // >0: every n-th frame sent loses a byte
    int insertEvery = 0;         // >0: every n-th frame sent gets an extra byte
    int flipEvery = 0;           // >0: a byte of every n-th frame sent is inverted
    int faultByte = -1;          // the byte these faults hit (0..111); -1: a random byte each time
    int faultValue = -1;         // the value of an inserted or stray byte (0..255); -1: a random one each time
    int strayEvery = 0;          // >0: every n-th frame sent is followed by a stray byte
    int burstEvery = 0;          // >0: every n-th frame sent is followed by a burst of noise bytes
    int burstSize = 0;           // the burst's length (1..64); 0: a random length each time
    int faultCode = -1;          // >=0: the faults count and hit only frames with this code (92: acknowledgements)
    int startMidFrame = -1;      // >=0: after each start the stream begins with a report's bytes from here on
    // The same faults at random: each frame sent (of faultCode, if set) is hit
    // with these probabilities, 0 to 1.
    double dropChance = 0;
    double insertChance = 0;
    double flipChance = 0;
    double strayChance = 0;
    double burstChance = 0;
    // A frame sent stops after a random byte, and its rest follows after a
    // pause of pauseMinMs to pauseMaxMs.
    double pauseChance = 0;
    int pauseMinMs = 41;
    int pauseMaxMs = 400;
    // Seeds every random choice of the fault switches: which frames are hit,
    // where and how, the pieces, the pauses, the delays, the duplicates. The
    // same seed and the same requests give the same faults.
    quint32 faultSeed = 20261207u;

    int effectiveDeviceType() const { return deviceType >= 0 ? deviceType : (txu ? 4 : 8); }
};

// The random numbers of one kind of fault (`stream`) under a fault seed.
inline std::mt19937 faultRandom(quint32 seed, quint32 stream)
{
    std::seed_seq sequence{seed, stream};
    return std::mt19937(sequence);
}

// Time one 112-byte frame takes on the wire at 115200 baud with 10 bits per byte.
constexpr qint64 kFrameWireNs = 112LL * 10 * 1000000000LL / 115200;
// Paced frames whose time is this close are taken at once rather than after
// another timer round.
constexpr qint64 kEarlyReleaseNs = 200000;

} // namespace sim
