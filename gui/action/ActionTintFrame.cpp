#include "gui/action/ActionTintFrame.h"

#include "engine/actions/CCTintTo.h"

namespace gui {

ActionTintFrame* ActionTintFrame::create() {
    auto* frame = new ActionTintFrame();
    frame->autorelease();
    return frame;
}

engine::CCActionInterval* ActionTintFrame::createAction(float duration) {
    return engine::CCTintTo::create(duration, m_color.r, m_color.g, m_color.b);
}

} // namespace gui
