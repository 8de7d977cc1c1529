#include "gui/action/ActionRotationFrame.h"

#include "engine/actions/CCRotateTo.h"

namespace gui {

ActionRotationFrame* ActionRotationFrame::create() {
    auto* frame = new ActionRotationFrame();
    frame->autorelease();
    return frame;
}

engine::CCActionInterval* ActionRotationFrame::createAction(float duration) {
    return engine::CCRotateTo::create(duration, m_rotation);
}

} // namespace gui
