#pragma once
// The window's size comes from the desktop's usable height, so the book fills
// most of a screen's height whatever the display.
#include "engine/base/CCGeometry.h"

namespace app {

// Width H × 1.11 / 1.4 and height H × 0.97, computed in double precision and
// then narrowed to float; the aspect ratio is always about 0.817.
engine::CCSize frameSizeForDesktopHeight(int desktopHeight);

// The usable height (without panels and task bars) of the first display, in
// pixels; 0 when SDL cannot tell. Initialises SDL's video subsystem.
int desktopUsableHeight();

} // namespace app
