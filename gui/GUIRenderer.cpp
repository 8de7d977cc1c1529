#include "gui/GUIRenderer.h"

namespace gui {

GUIRenderer* GUIRenderer::create() {
    auto* renderer = new GUIRenderer();
    return engine::autoreleasedIf(renderer->init(), renderer);
}

void GUIRenderer::visit() {
    if (!m_enabled) return;
    engine::CCNodeRGBA::visit();
}

} // namespace gui
