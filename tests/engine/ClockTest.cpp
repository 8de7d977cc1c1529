#include "engine/platform/CCClock.h"

#include <gtest/gtest.h>

using engine::CCClock;

// A virtual run must not depend on how long the process took to get there.
TEST(ClockTest, VirtualTimeStartsAtTheSameReadingOnEveryRun) {
    bool wasVirtual = CCClock::isVirtual();
    CCClock::setVirtual(false);
    CCClock::setVirtual(true);
    EXPECT_EQ(CCClock::now(), CCClock::kVirtualStart);
    CCClock::advance(0.0625);
    CCClock::setVirtual(true); // already virtual: no restart
    EXPECT_EQ(CCClock::now(), CCClock::kVirtualStart + 0.0625);
    CCClock::setVirtual(wasVirtual);
}
