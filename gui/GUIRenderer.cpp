#include "gui/GUIRenderer.h"

namespace gui {

GUIRenderer* GUIRenderer::create() {
    auto* renderer = new GUIRenderer();
    if (!renderer->init()) {
        renderer->release();
        return nullptr;
    }
    renderer->autorelease();
    return renderer;
}

void GUIRenderer::visit() {
    if (!m_enabled) return;
    engine::CCNodeRGBA::visit();
}

} // namespace gui
