#pragma once
// A key frame that fades the widget to an opacity. Files store it as an
// integer; the action takes its low eight bits, so 300 fades to 44.
#include "engine/base/ccTypes.h"
#include "gui/action/ActionFrame.h"

namespace gui {

class ActionFadeFrame : public ActionFrame {
public:
    ActionFadeFrame() { m_frameType = ACTION_FRAME_FADE; }
    static ActionFadeFrame* create();

    void setOpacity(float opacity) { m_opacity = opacity; }
    float getOpacity() const { return m_opacity; }
    // What the fade reaches: the value truncated, then its low eight bits.
    engine::GLubyte getTargetOpacity() const;

    engine::CCActionInterval* createAction(float duration) override;

private:
    float m_opacity = 255;
};

} // namespace gui
