#pragma once
// The render node of a plain widget: a colour-carrying node that skips its
// whole subtree while its widget is disabled.
#include "engine/nodes/CCNodeRGBA.h"
#include "gui/RendererSwitch.h"

namespace gui {

class GUIRenderer : public engine::CCNodeRGBA, public RendererSwitch {
public:
    ~GUIRenderer() override = default;
    static GUIRenderer* create();

    void setEnabled(bool enabled) override { m_enabled = enabled; }
    bool isEnabled() const override { return m_enabled; }

    void visit() override;

private:
    bool m_enabled = true;
};

} // namespace gui
