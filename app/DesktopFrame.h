#pragma once
// The window's size comes from the desktop's usable height, so the book fills
// most of a screen's height whatever the display.
#include "engine/base/CCGeometry.h"

#include <string>

namespace app {

// Width H × 1.11 / 1.4 and height H × 0.97, computed in double precision and
// then narrowed to float; the aspect ratio is always about 0.817.
engine::CCSize frameSizeForDesktopHeight(int desktopHeight);

// What to tell someone who started the book where no display answers.
std::string noDisplayAdvice(const std::string& problem);

} // namespace app
