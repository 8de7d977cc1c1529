#include "gui/action/ActionMoveFrame.h"

#include "engine/actions/CCMoveTo.h"

namespace gui {

ActionMoveFrame* ActionMoveFrame::create() {
    auto* frame = new ActionMoveFrame();
    frame->autorelease();
    return frame;
}

engine::CCActionInterval* ActionMoveFrame::createAction(float duration) {
    return engine::CCMoveTo::create(duration, m_position);
}

} // namespace gui
