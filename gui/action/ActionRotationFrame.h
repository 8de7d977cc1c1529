#pragma once
// A key frame that turns the widget to an angle, in degrees clockwise.
#include "gui/action/ActionFrame.h"

namespace gui {

class ActionRotationFrame : public ActionFrame {
public:
    ActionRotationFrame() { m_frameType = ACTION_FRAME_ROTATION; }
    static ActionRotationFrame* create();

    void setRotation(float degrees) { m_rotation = degrees; }
    float getRotation() const { return m_rotation; }

    engine::CCActionInterval* createAction(float duration) override;

private:
    float m_rotation = 0;
};

} // namespace gui
