#include "gui/action/ActionScaleFrame.h"

#include "engine/actions/CCScaleTo.h"

namespace gui {

ActionScaleFrame* ActionScaleFrame::create() {
    auto* frame = new ActionScaleFrame();
    frame->autorelease();
    return frame;
}

engine::CCActionInterval* ActionScaleFrame::createAction(float duration) {
    return engine::CCScaleTo::create(duration, m_scaleX, m_scaleY);
}

} // namespace gui
