#pragma once
// Monotonic wall-clock seconds.
#include <chrono>

inline double NowSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Seconds since construction.
class Stopwatch {
public:
    double Seconds() const { return NowSeconds() - m_start; }

private:
    double m_start = NowSeconds();
};
