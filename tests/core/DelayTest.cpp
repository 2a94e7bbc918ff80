#include <gtest/gtest.h>

#include "KS_Delay.h"
#include "KS_Events.h"
#include "KS_Globals.h"

TEST(Delay, ExpiresOneTickAfterItsLengthAcrossThe32BitLimitAndStaysExpired)
{
    gDelayTicks = 2147483647LL - 7;
    clsDelay delay;
    delay.InitDelay(20);
    for (int i = 0; i < 7; ++i)
        AdvanceTick();
    EXPECT_EQ(delay.CurrentValue(), 7);
    // Past the old 32-bit limit the counter keeps counting, so the delay runs its full length.
    for (int i = 0; i < 13; ++i)
        AdvanceTick();
    EXPECT_GT(gDelayTicks, 2147483647LL);
    EXPECT_FALSE(delay.DelayExpired());
    AdvanceTick();
    EXPECT_TRUE(delay.DelayExpired());
    gDelayTicks = 90; // once expired it stays expired, whatever the counter does
    EXPECT_TRUE(delay.DelayExpired());

    delay.InitDelay(0); // zero ticks: expires at the next step
    EXPECT_FALSE(delay.DelayExpired());
    AdvanceTick();
    EXPECT_TRUE(delay.DelayExpired());
}

TEST(Delay, WaitTicksRunsThePumpOncePerTick)
{
    int passes = 0;
    SetYieldHook([&] {
        ++passes;
        AdvanceTick();
    });
    gDelayTicks = 0;
    WaitTicks(15);
    EXPECT_EQ(gDelayTicks, 16);
    EXPECT_EQ(passes, 16);
}
