#pragma once
// A key frame that moves the widget to a position in its parent's space.
#include "engine/base/CCGeometry.h"
#include "gui/action/ActionFrame.h"

namespace gui {

class ActionMoveFrame : public ActionFrame {
public:
    ActionMoveFrame() { m_frameType = ACTION_FRAME_MOVE; }
    static ActionMoveFrame* create();

    void setPosition(const engine::CCPoint& position) { m_position = position; }
    const engine::CCPoint& getPosition() const { return m_position; }

    engine::CCActionInterval* createAction(float duration) override;

private:
    engine::CCPoint m_position;
};

} // namespace gui
