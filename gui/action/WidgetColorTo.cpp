#include "gui/action/WidgetColorTo.h"

#include "engine/nodes/CCNodeRGBA.h"
#include "gui/Layout.h"

#include <algorithm>

namespace gui {

namespace {
engine::GLubyte between(engine::GLubyte from, engine::GLubyte to, float time) {
    // As the engine's tint and fade mix.
    return static_cast<engine::GLubyte>(std::clamp(from + (to - from) * time, 0.0f, 255.0f));
}
} // namespace

WidgetColorTo* WidgetColorTo::createTint(float duration, UIWidget* widget, const engine::ccColor3B& color) {
    auto* action = new WidgetColorTo();
    action->m_widget = widget ? widget->weakHandle() : nullptr;
    action->m_toColor = color;
    return engine::autoreleasedIf(action->initWithDuration(duration), action);
}

WidgetColorTo* WidgetColorTo::createFade(float duration, UIWidget* widget, engine::GLubyte opacity) {
    auto* action = new WidgetColorTo();
    action->m_widget = widget ? widget->weakHandle() : nullptr;
    action->m_fade = true;
    action->m_toOpacity = opacity;
    return engine::autoreleasedIf(action->initWithDuration(duration), action);
}

void WidgetColorTo::startWithTarget(engine::CCNode* target) {
    CCActionInterval::startWithTarget(target);
    UIWidget* widget = UIWidget::resolve(m_widget);
    if (!widget) return;
    m_fromColor = widget->getColor();
    m_fromOpacity = widget->getOpacity();
    // A panel answers white for itself: its image carries the tint so far.
    auto* panel = dynamic_cast<Layout*>(widget);
    if (engine::CCNodeRGBA* image = panel ? panel->getBackgroundImage() : nullptr) {
        m_fromColor = image->getColor();
        m_fromOpacity = image->getOpacity();
    }
}

void WidgetColorTo::update(float time) {
    UIWidget* widget = UIWidget::resolve(m_widget);
    if (!widget) return;
    if (m_fade) {
        widget->setOpacity(between(m_fromOpacity, m_toOpacity, time));
    } else {
        widget->setColor({between(m_fromColor.r, m_toColor.r, time),
                          between(m_fromColor.g, m_toColor.g, time),
                          between(m_fromColor.b, m_toColor.b, time)});
    }
}

} // namespace gui
