#include "gui/action/ActionTintFrame.h"

#include "engine/actions/CCTintTo.h"

namespace gui {

ActionTintFrame* ActionTintFrame::create() {
    return engine::autoreleased(new ActionTintFrame());
}

engine::CCActionInterval* ActionTintFrame::createAction(float duration) {
    return engine::CCTintTo::create(duration, m_color.r, m_color.g, m_color.b);
}

} // namespace gui
