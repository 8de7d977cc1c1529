#pragma once
// The program's time source: the real monotonic clock, or a virtual clock that
// only moves when told to (headless runs and tests step it frame by frame).

namespace engine {

class CCClock {
public:
    // Seconds since an arbitrary start.
    static double now();
    static bool isVirtual();
    // Switching to virtual starts it at the current real time reading.
    static void setVirtual(bool isVirtual);
    // Moves the virtual clock forward; ignored on the real clock.
    static void advance(double seconds);
};

} // namespace engine
