#include "gui/action/ActionMoveFrame.h"

#include "engine/actions/CCMoveTo.h"

namespace gui {

ActionMoveFrame* ActionMoveFrame::create() {
    return engine::autoreleased(new ActionMoveFrame());
}

engine::CCActionInterval* ActionMoveFrame::createAction(float duration) {
    return engine::CCMoveTo::create(duration, m_position);
}

} // namespace gui
