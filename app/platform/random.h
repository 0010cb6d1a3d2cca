#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <random>

// The program's pseudo-random generator: single-precision values in [0, 1).
// Tests feed it a fixed sequence through feed(); fed values are handed out
// first, in order, and the generator's own sequence takes over afterwards.
class Random {
public:
    // Reseeds from the system clock, so that each run deals other games.
    void seedFromClock();
    // Reseeds from the given reading of that clock.
    void seedFromClock(std::chrono::system_clock::time_point now);
    void seed(std::uint32_t seed);

    // The next value, never 1.0.
    float next();

    // Values to hand out before the generator's own; each must lie in [0, 1).
    void feed(std::initializer_list<float> values);
    void feed(const std::deque<float> &values);

    std::uint64_t drawn() const { return m_drawn; }
    std::size_t pending() const { return m_fed.size(); }

private:
    std::mt19937 m_engine { 5489u };
    std::deque<float> m_fed;
    std::uint64_t m_drawn = 0;
};
