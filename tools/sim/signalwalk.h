#pragma once

#include <QRandomGenerator>
#include <QtGlobal>

namespace sim {

// A signal that wanders, for the device's reports: both levels drift slowly
// and on their own around typical values (each pulled back towards its middle
// as it strays), now and then the device has no reading for a few seconds,
// and now and then the radio link drops for a few seconds. Where asked for,
// one level or both also dip into the weak band now and then, for half a
// second to six. The same seed gives the same walk, with dips or without.
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

    // How often each kind of spell comes, on average, in seconds; 0 never.
    struct Rates
    {
        double noReadingEvery = kNoReadingEvery;
        double linkDropEvery = kLinkDropEvery;
        double dipEvery = 0;
    };
    // The deepest and the shallowest level of a dip.
    static constexpr int kDipLowest = -77;
    static constexpr int kDipHighest = -62;

    explicit SignalWalk(quint32 seed = 1);
    SignalWalk(quint32 seed, const Rates &rates);

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
    // Whether a spell that comes every `every` seconds on average begins
    // within `dt` seconds.
    bool begins(double dt, double every);
    void stepDip(double dt);

    Rates m_rates;
    QRandomGenerator m_random;
    QRandomGenerator m_dipRandom;  // apart, so that dips leave the rest of the walk as it was
    double m_dipLeft = 0;
    int m_dipLevel = 0;
    int m_dipWhich = 0;  // 0 level A, 1 level B, 2 both
    double m_a = -50;
    double m_b = -58;
    double m_noReadingLeft = 0;
    double m_linkDownLeft = 0;
};

} // namespace sim
