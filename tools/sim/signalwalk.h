#pragma once

#include <QRandomGenerator>
#include <QtGlobal>

namespace sim {

// A signal that wanders, for the device's reports: both levels drift slowly
// and on their own around typical values (each pulled back towards its middle
// as it strays), now and then the device has no reading for a few seconds,
// and now and then the radio link drops for a few seconds. The same seed gives
// the same walk.
class SignalWalk
{
public:
    // Levels stay within the range the program's bars show.
    static constexpr int kLowest = -79;
    static constexpr int kHighest = -26;
    // On average one stretch without a reading this often, and one drop of
    // the link this often, in seconds.
    static constexpr double kNoReadingEvery = 20;
    static constexpr double kLinkDropEvery = 45;

    explicit SignalWalk(quint32 seed = 1);

    struct Step
    {
        int levelA;      // from the TXU
        int levelB;      // from the repeater
        bool noReading;  // the device has no reading now
        bool linkDown;   // the radio link is down now
    };
    // The signal `seconds` after the last step.
    Step advance(double seconds);

private:
    double gauss();
    double uniform(double low, double high);

    QRandomGenerator m_random;
    double m_a = -50;
    double m_b = -58;
    double m_noReadingLeft = 0;
    double m_linkDownLeft = 0;
};

} // namespace sim
