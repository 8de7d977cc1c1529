#pragma once
// The one set-up of a run without a display, shared by the program's
// --headless, the tests and the book tools: the view draws offscreen with
// SDL's software renderer (the same pixels on every machine), and, where
// time matters, the clock is virtual (it moves only as frames are stepped)
// and sound goes to the test backend, which loads each file as the real one
// does and plays it on that clock.
#include "engine/base/CCGeometry.h"

namespace engine {

class HeadlessRun {
public:
    // The shared view draws offscreen from its next open().
    static void chooseOffscreenView();
    // Opens the shared view offscreen at `frame`, with `design` stretched
    // exactly over it, for a fresh director: frames are then stepped with
    // CCDirector::stepFrame. False, with a log line, when SDL gives no
    // renderer.
    static bool openView(const CCSize& frame, const CCSize& design);
    // The virtual clock and the test sound backend, until endVirtualTime.
    static void startVirtualTime();
    // The real clock again; the sound engine is shut down (a later use
    // starts the real backend).
    static void endVirtualTime();
};

} // namespace engine
