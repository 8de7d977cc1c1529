#pragma once
// The render node of a panel: a clipping node whose stencil is an upright
// rectangle from (0, 0) to its clip size, and whose clipping can be switched
// on and off. Like every widget render node it draws nothing at all, not
// even its children, while its widget is disabled.
#include "engine/base/CCGeometry.h"
#include "engine/nodes/CCClippingNode.h"
#include "gui/RendererSwitch.h"

namespace engine {
class CCDrawNode;
}

namespace gui {

class RectClippingNode : public engine::CCClippingNode, public RendererSwitch {
public:
    ~RectClippingNode() override;
    static RectClippingNode* create();

    bool init() override;
    using engine::CCClippingNode::init;

    // The stencil and the content size both become `size`.
    void setClipSize(const engine::CCSize& size);
    const engine::CCSize& getClipSize() const { return m_clipSize; }
    void setClippingEnabled(bool on) { m_clippingOn = on; }
    bool isClippingEnabled() const { return m_clippingOn; }

    void setEnabled(bool enabled) override { m_enabled = enabled; }
    bool isEnabled() const override { return m_enabled; }

    void visit() override;

protected:
    RectClippingNode() = default;

private:
    void drawStencil();

    engine::CCDrawNode* m_rectStencil = nullptr; // the clipping node's stencil, which retains it
    bool m_enabled = true;
    engine::CCPoint m_corners[4];
    engine::CCSize m_clipSize{50, 50};
    bool m_clippingOn = false;
};

} // namespace gui
