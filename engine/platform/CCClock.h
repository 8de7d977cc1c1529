#pragma once
// The program's time source: the real monotonic clock, or a virtual clock that
// only moves when told to (headless runs and tests step it frame by frame).

namespace engine {

class CCClock {
public:
    // Seconds since an arbitrary start.
    static double now();
    static bool isVirtual();
    // Switching to virtual starts it at kVirtualStart, or at the real time
    // reading once the process has run longer than that: the same start on
    // every run, whatever the machine's speed (times compared in tests round
    // the same way), and never behind the real clock.
    static void setVirtual(bool isVirtual);
    // Moves the virtual clock forward; ignored on the real clock.
    static void advance(double seconds);

    static constexpr double kVirtualStart = 4096.0; // exact in binary, like frame steps of 1/16 s
};

} // namespace engine
