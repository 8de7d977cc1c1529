#pragma once
// A key frame that tints the widget to a colour.
#include "engine/base/ccTypes.h"
#include "gui/action/ActionFrame.h"

namespace gui {

class ActionTintFrame : public ActionFrame {
public:
    ActionTintFrame() { m_frameType = ACTION_FRAME_TINT; }
    static ActionTintFrame* create();

    void setColor(const engine::ccColor3B& color) { m_color = color; }
    const engine::ccColor3B& getColor() const { return m_color; }

    engine::CCActionInterval* createAction(float duration) override;

private:
    engine::ccColor3B m_color = engine::ccWHITE;
};

} // namespace gui
