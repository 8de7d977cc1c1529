#pragma once
// Tints or fades a widget through the widget's own colour operations. Used
// for panels: their render node carries no colour, and the engine's tint and
// fade leave it alone, while a panel's setColor and setOpacity reach its
// background image, as the layout file's colour keys do. A panel without an
// image shows no change.
//
// Holds the widget weakly: a widget that dies meanwhile is left alone.
#include "engine/actions/CCActionInterval.h"
#include "engine/base/ccTypes.h"
#include "gui/UIWidget.h"

namespace gui {

class WidgetColorTo : public engine::CCActionInterval {
public:
    static WidgetColorTo* createTint(float duration, UIWidget* widget, const engine::ccColor3B& color);
    static WidgetColorTo* createFade(float duration, UIWidget* widget, engine::GLubyte opacity);

    void startWithTarget(engine::CCNode* target) override;
    void update(float time) override;

private:
    WidgetColorTo() = default;

    UIWidget::WeakHandle m_widget;
    bool m_fade = false;
    engine::ccColor3B m_fromColor = engine::ccWHITE;
    engine::ccColor3B m_toColor = engine::ccWHITE;
    engine::GLubyte m_fromOpacity = 255;
    engine::GLubyte m_toOpacity = 255;
};

} // namespace gui
