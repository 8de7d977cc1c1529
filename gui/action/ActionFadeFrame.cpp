#include "gui/action/ActionFadeFrame.h"

#include "engine/actions/CCFadeTo.h"

#include <algorithm>
#include <cmath>

namespace gui {

ActionFadeFrame* ActionFadeFrame::create() {
    return engine::autoreleased(new ActionFadeFrame());
}

engine::GLubyte ActionFadeFrame::getTargetOpacity() const {
    // As the files have always been read: 300 fades to 44.
    double value = std::isfinite(m_opacity) ? std::clamp<double>(m_opacity, -1e15, 1e15) : 255.0;
    return static_cast<engine::GLubyte>(static_cast<long long>(value) & 0xff);
}

engine::CCActionInterval* ActionFadeFrame::createAction(float duration) {
    return engine::CCFadeTo::create(duration, getTargetOpacity());
}

} // namespace gui
