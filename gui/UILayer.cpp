#include "gui/UILayer.h"

#include "engine/base/CCTouch.h"
#include "gui/UIRootWidget.h"
#include "gui/UITouchRouter.h"

namespace gui {

UILayer::UILayer() = default;

UILayer::~UILayer() {
    // The router holds widgets of the tree: it goes first.
    m_touchRouter.reset();
}

UILayer* UILayer::create() {
    auto* layer = new UILayer();
    return engine::autoreleasedIf(layer->init(), layer);
}

bool UILayer::init() {
    if (!engine::CCLayer::init()) return false;
    m_rootWidget = UIRootWidget::create();
    if (!m_rootWidget) return false;
    m_rootWidget->onEnter();
    addChild(m_rootWidget->getRenderer());
    m_touchRouter = std::make_unique<UITouchRouter>(m_rootWidget.get());
    return true;
}

void UILayer::setVisible(bool visible) {
    engine::CCLayer::setVisible(visible);
    if (m_rootWidget) m_rootWidget->setVisible(visible);
}

void UILayer::onEnter() {
    setTouchMode(engine::kCCTouchesOneByOne);
    setTouchEnabled(true);
    engine::CCLayer::onEnter();
}

void UILayer::onExit() {
    setTouchEnabled(false);
    engine::CCLayer::onExit();
}

// Each phase keeps the layer alive: a handler may dispose of it.
bool UILayer::ccTouchBegan(engine::CCTouch* touch, engine::CCEvent* /*event*/) {
    if (!m_touchRouter || !touch) return false;
    engine::CCRef<UILayer> keepAlive(this);
    return m_touchRouter->touchBegan(touch->getID(), touch->getLocation());
}

void UILayer::ccTouchMoved(engine::CCTouch* touch, engine::CCEvent* /*event*/) {
    if (!m_touchRouter || !touch) return;
    engine::CCRef<UILayer> keepAlive(this);
    m_touchRouter->touchMoved(touch->getID(), touch->getLocation());
}

void UILayer::ccTouchEnded(engine::CCTouch* touch, engine::CCEvent* /*event*/) {
    if (!m_touchRouter || !touch) return;
    engine::CCRef<UILayer> keepAlive(this);
    m_touchRouter->touchEnded(touch->getID(), touch->getLocation());
}

void UILayer::ccTouchCancelled(engine::CCTouch* touch, engine::CCEvent* /*event*/) {
    if (!m_touchRouter || !touch) return;
    engine::CCRef<UILayer> keepAlive(this);
    m_touchRouter->touchCancelled(touch->getID(), touch->getLocation());
}

void UILayer::clear() {
    if (m_rootWidget) m_rootWidget->removeAllChildren();
}

void UILayer::dispose() {
    removeFromParentAndCleanup(true);
}

void UILayer::addWidget(UIWidget* widget) {
    if (m_rootWidget) m_rootWidget->addChild(widget);
}

} // namespace gui
