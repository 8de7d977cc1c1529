#pragma once
// What the desktop offers a window, asked before one opens.
#include <string>

namespace engine {

class Desktop {
public:
    // Why no window can be shown here, or "" when a display answers. SDL
    // falls back to drivers that draw into memory (offscreen, dummy) when no
    // display answers; a window there would run unseen for ever. Starts
    // SDL's video subsystem.
    static std::string displayProblem();
    // The usable height (without panels and task bars) of the first display,
    // in pixels; 0, with a log line, when SDL cannot tell. Starts SDL's video
    // subsystem.
    static int usableHeight();
};

} // namespace engine
