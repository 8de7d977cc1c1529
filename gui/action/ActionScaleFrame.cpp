#include "gui/action/ActionScaleFrame.h"

#include "engine/actions/CCScaleTo.h"

namespace gui {

ActionScaleFrame* ActionScaleFrame::create() {
    return engine::autoreleased(new ActionScaleFrame());
}

engine::CCActionInterval* ActionScaleFrame::createAction(float duration) {
    return engine::CCScaleTo::create(duration, m_scaleX, m_scaleY);
}

} // namespace gui
