#pragma once
// A time-out over gDelayTicks. A waiting loop arms one, then asks it on every
// pass whether the time is up. A delay of n ticks armed at s first reports
// expiry when the counter reaches s + n + 1.

#include <cstdint>

class clsDelay {
public:
    void InitDelay(std::int64_t noOf50msCycles);

    // Ticks elapsed since InitDelay.
    std::int64_t CurrentValue();
    void CurrentValue(std::int64_t vData);

    bool DelayExpired();
    void DelayExpired(bool vData) { expired_ = vData; }

private:
    double startMark_ = 0;
    double endMark_ = 0;
    bool expired_ = false;
    std::int64_t currentMark_ = 0;
};
