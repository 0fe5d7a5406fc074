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
    : m_random(seed)
{
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
    } else if (m_random.generateDouble() < dt / kLinkDropEvery) {
        m_linkDownLeft = uniform(2, 5);
        m_noReadingLeft = 0;
    }
    if (m_noReadingLeft > 0)
        m_noReadingLeft -= dt;
    else if (m_linkDownLeft <= 0 && m_random.generateDouble() < dt / kNoReadingEvery)
        m_noReadingLeft = uniform(1, 3);

    return {int(std::lround(m_a)), int(std::lround(m_b)), m_noReadingLeft > 0, m_linkDownLeft > 0};
}

} // namespace sim
