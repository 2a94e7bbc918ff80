#include "KS_Delay.h"

#include <cmath>

#include "KS_Events.h"
#include "KS_Globals.h"

void clsDelay::InitDelay(std::int64_t noOf50msCycles)
{
    expired_ = false;
    startMark_ = static_cast<double>(gDelayTicks);
    endMark_ = startMark_ + static_cast<double>(noOf50msCycles);
}

std::int64_t clsDelay::CurrentValue()
{
    currentMark_ = gDelayTicks - static_cast<std::int64_t>(startMark_);
    return currentMark_;
}

void clsDelay::CurrentValue(std::int64_t vData)
{
    currentMark_ = vData + static_cast<std::int64_t>(startMark_);
}

bool clsDelay::DelayExpired()
{
    // The counter is 64-bit and never wraps, so the old wrap correction
    // (start mark above the counter) cannot arise.
    if (static_cast<double>(gDelayTicks) > endMark_)
        expired_ = true;
    else
        NoteWaitAction(static_cast<std::int64_t>(std::floor(endMark_)) + 1);
    return expired_;
}
