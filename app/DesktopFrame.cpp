#include "app/DesktopFrame.h"

#include <cstdlib>

namespace app {

engine::CCSize frameSizeForDesktopHeight(int desktopHeight) {
    double height = desktopHeight;
    double width = height * 1.11 / 1.4;
    return engine::CCSize(static_cast<float>(width), static_cast<float>(height * 0.97));
}

std::string noDisplayAdvice(const std::string& problem) {
    const char* display = std::getenv("DISPLAY");
    return "lirra: no display to open a window on (" + problem + "; DISPLAY is " +
           (display && *display ? std::string("'") + display + "'" : std::string("not set")) +
           ").\n"
           "Run it in a virtual X server (Debian packages xvfb and xauth: sudo apt-get install xvfb xauth):\n"
           "    xvfb-run -a make run\n"
           "or without a window: lirra --headless (see lirra --help)\n";
}

} // namespace app
