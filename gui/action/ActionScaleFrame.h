#pragma once
// A key frame that scales the widget, each axis on its own.
#include "gui/action/ActionFrame.h"

namespace gui {

class ActionScaleFrame : public ActionFrame {
public:
    ActionScaleFrame() { m_frameType = ACTION_FRAME_SCALE; }
    static ActionScaleFrame* create();

    void setScaleX(float scale) { m_scaleX = scale; }
    float getScaleX() const { return m_scaleX; }
    void setScaleY(float scale) { m_scaleY = scale; }
    float getScaleY() const { return m_scaleY; }

    engine::CCActionInterval* createAction(float duration) override;

private:
    float m_scaleX = 1.0f;
    float m_scaleY = 1.0f;
};

} // namespace gui
