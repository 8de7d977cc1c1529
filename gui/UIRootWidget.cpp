#include "gui/UIRootWidget.h"

#include "engine/director/CCDirector.h"

namespace gui {

UIRootWidget* UIRootWidget::create() {
    return createWidget<UIRootWidget>();
}

bool UIRootWidget::init() {
    if (!Layout::init()) return false;
    setSize(engine::CCDirector::sharedDirector()->getWinSize());
    return true;
}

} // namespace gui
