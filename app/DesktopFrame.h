#pragma once
// The window's size comes from the desktop's usable height, so the book fills
// most of a screen's height whatever the display.
#include "engine/base/CCGeometry.h"

#include <string>

namespace app {

// Width H × 1.11 / 1.4 and height H × 0.97, computed in double precision and
// then narrowed to float; the aspect ratio is always about 0.817.
engine::CCSize frameSizeForDesktopHeight(int desktopHeight);

// Why no window can be shown here, or "" when a display answers. SDL
// falls back to drivers that draw into memory (offscreen, dummy) when no
// display answers; a window there would run unseen for ever. Initialises
// SDL's video subsystem.
std::string displayProblem();
// What to tell someone who started the book where no display answers.
std::string noDisplayAdvice(const std::string& problem);

// The usable height (without panels and task bars) of the first display, in
// pixels; 0 when SDL cannot tell. Initialises SDL's video subsystem.
int desktopUsableHeight();

} // namespace app
