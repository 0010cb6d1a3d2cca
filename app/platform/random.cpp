#include "app/platform/random.h"

void Random::seedFromClock() { seedFromClock(std::chrono::system_clock::now()); }

void Random::seedFromClock(std::chrono::system_clock::time_point now)
{
    // The high half folded onto the low one: readings a whole number of
    // 2^32 ticks apart still seed differently.
    const auto ticks = now.time_since_epoch().count();
    seed(static_cast<std::uint32_t>(ticks ^ (ticks >> 32)));
}

void Random::seed(std::uint32_t seed) { m_engine.seed(seed); }

float Random::next()
{
    ++m_drawn;
    if (!m_fed.empty()) {
        const float value = m_fed.front();
        m_fed.pop_front();
        return value;
    }
    // 24 random bits fill a float's mantissa exactly, so the value is a
    // multiple of 2^-24 below 1; std::uniform_real_distribution<float> can
    // round up to 1.0.
    return static_cast<float>(m_engine() >> 8) * (1.0f / 16777216.0f);
}

void Random::feed(std::initializer_list<float> values) { m_fed.insert(m_fed.end(), values); }

void Random::feed(const std::deque<float> &values) { m_fed.insert(m_fed.end(), values.begin(), values.end()); }
