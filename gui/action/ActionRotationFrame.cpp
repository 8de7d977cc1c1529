#include "gui/action/ActionRotationFrame.h"

#include "engine/actions/CCRotateTo.h"

namespace gui {

ActionRotationFrame* ActionRotationFrame::create() {
    return engine::autoreleased(new ActionRotationFrame());
}

engine::CCActionInterval* ActionRotationFrame::createAction(float duration) {
    return engine::CCRotateTo::create(duration, m_rotation);
}

} // namespace gui
