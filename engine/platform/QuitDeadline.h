#pragma once
// SDL turns SIGTERM and SIGINT into a quit event that the loop reads at its
// next frame; a loop stuck in one long step would never read it. Once a quit
// is asked for, the program ends by itself after this long at the latest.
//
// arm() starts SDL's event subsystem, which installs those signal handlers,
// and puts the deadline behind them; disarm() stops the subsystem again.

namespace engine {

class QuitDeadline {
public:
    static constexpr unsigned kGraceSeconds = 15;
    static void arm();
    static void disarm();
};

} // namespace engine
