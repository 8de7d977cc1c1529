#pragma once
// Made-up SDL events take the real way in: SDL's queue, then the view's poll.
#include "engine/platform/CCEGLView.h"

#include <SDL.h>

namespace testsupport {

// Queues `event` and lets the shared view handle everything queued; false
// when SDL would not queue it (no event subsystem: the view is not open).
inline bool deliver(SDL_Event event) {
    if (SDL_PushEvent(&event) != 1) return false;
    engine::CCEGLView::sharedOpenGLView()->pollEvents();
    return true;
}

} // namespace testsupport
