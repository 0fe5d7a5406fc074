#include "signalwalk.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

// Each level drifts by about this much per square root of a second, and is
// pulled back towards its middle at this rate per second: it strays some ten
// levels from the middle, and takes minutes to do so.
constexpr double kDrift = 2.0;
constexpr double kPull = 0.02;
constexpr double kMiddleA = -52;
constexpr double kMiddleB = -58;

} // namespace

SignalWalk::SignalWalk(quint32 seed)
    : SignalWalk(seed, Rates())
{
}

SignalWalk::SignalWalk(quint32 seed, const Rates &rates)
    : m_rates(rates)
    , m_random(seed)
    , m_dipRandom(seed ^ 0x5eed0d1bu)
{
}

bool SignalWalk::begins(double dt, double every)
{
    const double draw = m_random.generateDouble();
    return every > 0 && draw < dt / every;
}

void SignalWalk::stepDip(double dt)
{
    if (m_rates.dipEvery <= 0)
        return;
    if (m_dipLeft > 0) {
        m_dipLeft -= dt;
        return;
    }
    if (m_dipRandom.generateDouble() >= dt / m_rates.dipEvery)
        return;
    m_dipLeft = 0.5 + 5.5 * m_dipRandom.generateDouble();
    m_dipLevel = kDipLowest + int(m_dipRandom.bounded(kDipHighest - kDipLowest + 1));
    m_dipWhich = int(m_dipRandom.bounded(3));
}

double SignalWalk::uniform(double low, double high)
{
    return low + (high - low) * m_random.generateDouble();
}

double SignalWalk::gauss()
{
    const double u = std::max(m_random.generateDouble(), 1e-12);
    const double v = m_random.generateDouble();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * 3.14159265358979323846 * v);
}

SignalWalk::Step SignalWalk::advance(double seconds)
{
    const double dt = std::max(seconds, 0.0);
    const double step = kDrift * std::sqrt(dt);
    m_a += kPull * (kMiddleA - m_a) * dt + step * gauss();
    m_b += kPull * (kMiddleB - m_b) * dt + step * gauss();
    m_a = std::min<double>(std::max<double>(m_a, kLowest), kHighest);
    m_b = std::min<double>(std::max<double>(m_b, kLowest), kHighest);

    if (m_linkDownLeft > 0) {
        m_linkDownLeft -= dt;
    } else if (begins(dt, m_rates.linkDropEvery)) {
        m_linkDownLeft = uniform(2, 5);
        m_noReadingLeft = 0;
    }
    if (m_noReadingLeft > 0)
        m_noReadingLeft -= dt;
    else if (m_linkDownLeft <= 0 && begins(dt, m_rates.noReadingEvery))
        m_noReadingLeft = uniform(1, 3);

    Step now{int(std::lround(m_a)), int(std::lround(m_b)), m_noReadingLeft > 0, m_linkDownLeft > 0};
    stepDip(dt);
    if (m_dipLeft > 0) {
        if (m_dipWhich != 1)
            now.levelA = std::min(now.levelA, m_dipLevel);
        if (m_dipWhich != 0)
            now.levelB = std::min(now.levelB, m_dipLevel);
    }
    return now;
}

} // namespace sim
