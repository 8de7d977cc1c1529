#include "gui/UIWidget.h"

#include "engine/base/CCAffineTransform.h"
#include "engine/base/CCArray.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCScheduler.h"
#include "engine/nodes/CCNodeRGBA.h"
#include "gui/GUIRenderer.h"
#include "gui/RendererSwitch.h"

#include <climits>
#include <unordered_set>
#include <vector>

namespace gui {

using engine::CCPoint;
using engine::CCRef;
using engine::CCSize;

namespace {

// Runs `call` on a snapshot of the children, each kept alive for its call:
// a child may change its siblings (or leave) while entering or leaving.
template <class Call> void forEachChild(const engine::CCArray* children, Call call) {
    if (!children) return;
    std::vector<CCRef<UIWidget>> snapshot;
    snapshot.reserve(children->count());
    for (engine::CCObject* child : *children)
        snapshot.emplace_back(static_cast<UIWidget*>(child));
    for (auto& child : snapshot)
        call(child.get());
}

// Children are mostly removed from the end (removeAllChildren, a bubble
// added last): searching from the back finds them at once.
unsigned int lastIndexOf(const engine::CCArray* array, const engine::CCObject* object) {
    for (unsigned int i = array->count(); i > 0; --i)
        if (array->objectAtIndex(i - 1) == object) return i - 1;
    return UINT_MAX;
}

CCPoint scaled(const CCPoint& percent, const CCSize& size) {
    return {percent.x * size.width, percent.y * size.height};
}

} // namespace

// --- creation

UIWidget::UIWidget() = default;

UIWidget::~UIWidget() {
    if (m_lifeToken) *m_lifeToken = nullptr;
    UIWidget::releaseResources();
    m_parent = nullptr;
}

UIWidget* UIWidget::create() {
    return createWidget<UIWidget>();
}

bool UIWidget::init() {
    m_children = engine::CCArray::create();
    initRenderer();
    if (!m_renderer) return false;
    m_renderer->setZOrder(m_zOrder);
    m_renderer->setAnchorPoint(m_anchorPoint);
    if (engine::CCRGBAProtocol* rgba = rgbaRenderer()) {
        rgba->setCascadeColorEnabled(true);
        rgba->setCascadeOpacityEnabled(true);
    }
    setBright(true);
    setIgnoreContentSize(true);
    m_scheduler = engine::CCDirector::sharedDirector()->getScheduler();
    return true;
}

void UIWidget::initRenderer() {
    m_renderer = GUIRenderer::create();
}

void UIWidget::releaseResources() {
    m_touchEventHandler = {};
    m_pushDownHandler = {};
    m_moveHandler = {};
    m_releaseHandler = {};
    m_cancelHandler = {};
    m_updateEnabled = false;
    if (m_scheduler) m_scheduler->unscheduleUpdateForTarget(this);
    if (m_children) {
        releaseChildrenForTeardown();
        m_children = nullptr;
    }
    if (m_renderer) {
        m_renderer->removeAllChildrenWithCleanup(true);
        m_renderer->removeFromParentAndCleanup(true);
        m_renderer = nullptr;
    }
}

namespace {
// Children dropped by a dying widget wait here until the outermost teardown
// releases them one by one: a deep tree must not nest a destructor per level.
std::vector<UIWidget*>* g_teardownQueue = nullptr;
} // namespace

void UIWidget::releaseChildrenForTeardown() {
    if (m_running) forEachChild(m_children.get(), [](UIWidget* child) { child->onExit(); });
    std::vector<UIWidget*> queue;
    bool outermost = !g_teardownQueue;
    if (outermost) g_teardownQueue = &queue;
    detachAllRenderNodes();
    // Last child first, as removeAllChildren does.
    while (m_children->count() > 0) {
        auto* child = static_cast<UIWidget*>(m_children->lastObject());
        child->retain(); // the queue's reference
        child->m_parent = nullptr;
        m_children->removeLastObject();
        g_teardownQueue->push_back(child);
    }
    if (!outermost) return;
    while (!queue.empty()) {
        UIWidget* child = queue.back();
        queue.pop_back();
        // A child kept alive elsewhere was removed like any other: its
        // subtree stops updating. One that dies unschedules itself.
        if (child->retainCount() > 1) {
            unscheduleSubtreeUpdates(child);
            if (child->m_renderer) child->m_renderer->cleanup();
        }
        child->release();
    }
    g_teardownQueue = nullptr;
}

// Empties the dying renderer in one pass: taking wide lists of nodes off one
// at a time searches the list each time. The children's renderers go without
// cleanup (one that dies stops its own actions and timers; one that lives on
// is cleaned by the teardown queue; cleaning a deep subtree here at every
// level would be quadratic); other nodes are cleaned as usual.
void UIWidget::detachAllRenderNodes() {
    if (!m_renderer) return;
    std::unordered_set<const engine::CCNode*> childRenderers;
    for (engine::CCObject* child : *m_children)
        childRenderers.insert(static_cast<UIWidget*>(child)->m_renderer.get());
    std::vector<CCRef<engine::CCNode>> others;
    for (engine::CCNode* node : m_renderer->getChildren())
        if (!childRenderers.count(node)) others.emplace_back(node);
    m_renderer->removeAllChildrenWithCleanup(false);
    for (auto& node : others)
        node->cleanup();
}

// --- tree

bool UIWidget::addChild(UIWidget* child) {
    // A widget in another tree, or an ancestor, would end up in two places
    // or in a cycle.
    if (!child || child == this || child->m_parent || !m_children) return false;
    for (UIWidget* ancestor = m_parent; ancestor; ancestor = ancestor->m_parent)
        if (ancestor == child) return false;
    child->m_parent = this;
    insertChildByZOrder(child);
    if (m_renderer && child->m_renderer) m_renderer->addChild(child->m_renderer.get(), child->m_zOrder);
    if (m_running) child->onEnter();
    return true;
}

bool UIWidget::removeChild(UIWidget* child) {
    if (!child || child->m_parent != this || !m_children) return false;
    unsigned int index = lastIndexOf(m_children.get(), child);
    if (index == UINT_MAX) return false;
    // A widget taken from one parent is often given to another straight
    // away (`a->removeChild(w); b->addChild(w);`): it stays alive until the
    // autorelease pool drains, not only while its old parent holds it.
    child->retain();
    child->autorelease();
    if (m_running) child->onExit();
    unscheduleSubtreeUpdates(child);
    child->m_parent = nullptr;
    if (m_renderer && child->m_renderer) m_renderer->removeChild(child->m_renderer.get(), true);
    // The exit calls may have reordered the children.
    if (index >= m_children->count() || m_children->objectAtIndex(index) != child)
        index = lastIndexOf(m_children.get(), child);
    if (index != UINT_MAX) m_children->removeObjectAtIndex(index);
    return true;
}

void UIWidget::removeFromParent() {
    if (m_parent) m_parent->removeChild(this);
}

void UIWidget::removeAllChildren() {
    if (!m_children) return;
    unsigned int count = m_children->count();
    for (unsigned int i = 0; i < count && m_children->count() > 0; ++i)
        removeChild(static_cast<UIWidget*>(m_children->lastObject()));
}

void UIWidget::reorderChild(UIWidget* child) {
    if (!child || !m_children || !m_children->containsObject(child)) return;
    CCRef<UIWidget> keepAlive(child);
    m_children->removeObject(child);
    insertChildByZOrder(child);
}

void UIWidget::setZOrder(int zOrder) {
    m_zOrder = zOrder;
    // The engine moves the node among its siblings when it has a parent.
    if (m_renderer) m_renderer->setZOrder(zOrder);
    if (m_parent) m_parent->reorderChild(this);
}

// Directly after the last child whose zOrder is not greater: equal zOrders
// keep arrival order.
void UIWidget::insertChildByZOrder(UIWidget* child) {
    for (unsigned int i = m_children->count(); i > 0; --i) {
        auto* sibling = static_cast<UIWidget*>(m_children->objectAtIndex(i - 1));
        if (sibling->m_zOrder <= child->m_zOrder) {
            m_children->insertObject(child, i);
            return;
        }
    }
    m_children->insertObject(child, 0);
}

// --- render node

engine::CCRGBAProtocol* UIWidget::rgbaRenderer() const {
    return dynamic_cast<engine::CCRGBAProtocol*>(m_renderer.get());
}

void UIWidget::setAnchorPoint(const CCPoint& anchor) {
    m_anchorPoint = anchor;
    if (m_renderer) m_renderer->setAnchorPoint(anchor);
}

void UIWidget::setScale(float scale) {
    if (m_renderer) m_renderer->setScale(scale);
}

void UIWidget::setScaleX(float scale) {
    if (m_renderer) m_renderer->setScaleX(scale);
}

void UIWidget::setScaleY(float scale) {
    if (m_renderer) m_renderer->setScaleY(scale);
}

float UIWidget::getScaleX() const {
    return m_renderer ? m_renderer->getScaleX() : 1.0f;
}

float UIWidget::getScaleY() const {
    return m_renderer ? m_renderer->getScaleY() : 1.0f;
}

void UIWidget::setRotation(float degrees) {
    if (m_renderer) m_renderer->setRotation(degrees);
}

float UIWidget::getRotation() const {
    return m_renderer ? m_renderer->getRotation() : 0.0f;
}

void UIWidget::setColor(const engine::ccColor3B& color) {
    if (engine::CCRGBAProtocol* rgba = rgbaRenderer()) rgba->setColor(color);
}

engine::ccColor3B UIWidget::getColor() const {
    engine::CCRGBAProtocol* rgba = rgbaRenderer();
    return rgba ? rgba->getColor() : engine::ccWHITE;
}

void UIWidget::setOpacity(engine::GLubyte opacity) {
    if (engine::CCRGBAProtocol* rgba = rgbaRenderer()) rgba->setOpacity(opacity);
}

engine::GLubyte UIWidget::getOpacity() const {
    engine::CCRGBAProtocol* rgba = rgbaRenderer();
    return rgba ? rgba->getOpacity() : 255;
}

bool UIWidget::isCascadeOpacityEnabled() const {
    engine::CCRGBAProtocol* rgba = rgbaRenderer();
    return rgba && rgba->isCascadeOpacityEnabled();
}

void UIWidget::setCascadeOpacityEnabled(bool enabled) {
    if (engine::CCRGBAProtocol* rgba = rgbaRenderer()) rgba->setCascadeOpacityEnabled(enabled);
}

bool UIWidget::isCascadeColorEnabled() const {
    engine::CCRGBAProtocol* rgba = rgbaRenderer();
    return rgba && rgba->isCascadeColorEnabled();
}

void UIWidget::setCascadeColorEnabled(bool enabled) {
    if (engine::CCRGBAProtocol* rgba = rgbaRenderer()) rgba->setCascadeColorEnabled(enabled);
}

void UIWidget::setActionManager(engine::CCActionManager* manager) {
    if (m_renderer) m_renderer->setActionManager(manager);
}

engine::CCActionManager* UIWidget::getActionManager() const {
    return m_renderer ? m_renderer->getActionManager() : nullptr;
}

void UIWidget::setVisible(bool visible) {
    m_visible = visible;
    if (m_renderer) m_renderer->setVisible(visible);
}

// --- state and looks

void UIWidget::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (auto* rendererSwitch = dynamic_cast<RendererSwitch*>(m_renderer.get()))
        rendererSwitch->setEnabled(enabled);
    forEachChild(m_children.get(), [enabled](UIWidget* child) { child->setEnabled(enabled); });
}

void UIWidget::setBright(bool bright) {
    m_bright = bright;
    if (bright) {
        m_brightState = BRIGHT_NORMAL;
        onNormalLook();
    } else {
        onDisabledLook();
    }
}

void UIWidget::setBrightState(BrightState state) {
    if (state == m_brightState) return;
    m_brightState = state;
    // The disabled look stays until setBright(true).
    if (!m_bright) return;
    if (state == BRIGHT_NORMAL)
        onNormalLook();
    else if (state == BRIGHT_HIGHLIGHT)
        onPressedLook();
}

void UIWidget::setFocused(bool focused) {
    m_focused = focused;
    if (!m_bright)
        onDisabledLook();
    else
        setBrightState(focused ? BRIGHT_HIGHLIGHT : BRIGHT_NORMAL);
}

// --- sizes

CCSize UIWidget::parentSize() const {
    return m_parent ? m_parent->m_size : engine::CCSizeZero;
}

CCPoint UIWidget::ratio(float x, float y, const CCSize& of) {
    return {of.width != 0.0f ? x / of.width : 0.0f, of.height != 0.0f ? y / of.height : 0.0f};
}

void UIWidget::setSize(const CCSize& size) {
    m_customSize = size;
    m_size = m_ignoreSize ? getContentSize() : size;
    if (m_running) m_sizePercent = ratio(m_customSize.width, m_customSize.height, parentSize());
    onSizeChanged();
}

void UIWidget::setSizePercent(const CCPoint& percent) {
    m_sizePercent = percent;
    if (m_running) {
        CCPoint computed = scaled(percent, parentSize());
        m_size = m_ignoreSize ? getContentSize() : CCSize(computed.x, computed.y);
        m_customSize = CCSize(computed.x, computed.y);
    }
    onSizeChanged();
}

void UIWidget::setIgnoreContentSize(bool ignore) {
    m_ignoreSize = ignore;
    m_size = ignore ? getContentSize() : m_customSize;
    onSizeChanged();
}

// --- positions

void UIWidget::setPosition(const CCPoint& position) {
    if (m_running) m_positionPercent = ratio(position.x, position.y, parentSize());
    if (m_renderer) m_renderer->setPosition(position);
}

CCPoint UIWidget::getPosition() const {
    return m_renderer ? m_renderer->getPosition() : engine::CCPointZero;
}

void UIWidget::setPositionPercent(const CCPoint& percent) {
    m_positionPercent = percent;
    if (m_running && m_parent && m_renderer) m_renderer->setPosition(scaled(percent, parentSize()));
}

float UIWidget::getLeftEdge() const {
    float x = getPosition().x;
    return m_category == WIDGET_CATEGORY_CONTAINER ? x : x - m_size.width * m_anchorPoint.x;
}

float UIWidget::getBottomEdge() const {
    float y = getPosition().y;
    return m_category == WIDGET_CATEGORY_CONTAINER ? y : y - m_size.height * m_anchorPoint.y;
}

// --- enter and exit

// The widget resolves its own size and position before its children enter,
// so that a child's percentages see the parent's resolved size.
void UIWidget::onEnter() {
    m_running = true;
    // Leaving a tree unschedules the whole subtree; a widget that wants its
    // frames gets them back when it enters one again.
    if (m_updateEnabled) setUpdateEnabled(true);
    CCSize parent = parentSize();
    if (m_sizeMode == SIZE_ABSOLUTE) {
        m_size = m_ignoreSize ? getContentSize() : m_customSize;
        m_sizePercent = ratio(m_customSize.width, m_customSize.height, parent);
    } else {
        CCPoint computed = scaled(m_sizePercent, parent);
        m_customSize = CCSize(computed.x, computed.y);
        m_size = m_ignoreSize ? getContentSize() : m_customSize;
    }
    onSizeChanged();
    CCPoint position = getPosition();
    if (m_positionMode == POSITION_ABSOLUTE)
        m_positionPercent = ratio(position.x, position.y, parent);
    else if (m_parent)
        position = scaled(m_positionPercent, parent);
    if (m_renderer) m_renderer->setPosition(position);
    forEachChild(m_children.get(), [](UIWidget* child) { child->onEnter(); });
}

void UIWidget::onExit() {
    m_running = false;
    forEachChild(m_children.get(), [](UIWidget* child) { child->onExit(); });
}

// --- hit testing

bool UIWidget::hitTest(const CCPoint& point) {
    if (!m_renderer) return false;
    engine::CCAffineTransform toWorld = m_renderer->nodeToWorldTransform();
    // A widget scaled to nothing covers no point (the engine's inverse of a
    // singular transform is the identity, which would hit near the origin).
    if (toWorld.a * toWorld.d - toWorld.b * toWorld.c == 0.0f) return false;
    CCPoint local = engine::CCPointApplyAffineTransform(point, engine::CCAffineTransformInvert(toWorld));
    float left = -m_anchorPoint.x * m_size.width;
    float bottom = -m_anchorPoint.y * m_size.height;
    return local.x >= left && local.x <= left + m_size.width && local.y >= bottom &&
           local.y <= bottom + m_size.height;
}

bool UIWidget::isInsideClippingAncestors(const CCPoint& point) {
    m_affectedByClipping = false;
    for (UIWidget* ancestor = m_parent; ancestor; ancestor = ancestor->m_parent) {
        if (!ancestor->isClippingEnabled()) continue;
        m_affectedByClipping = true;
        if (!ancestor->hitTest(point)) return false;
    }
    return true;
}

// --- touch phases
//
// Each phase keeps the widget alive until it returns: a handler may remove
// the widget from its tree (a close button) or drop the screen holding it.

bool UIWidget::onTouchBegan(const CCPoint& point) {
    CCRef<UIWidget> keepAlive(this);
    if (!m_focused) setFocused(true);
    m_touchStartPos = point;
    if (m_parent) m_parent->onChildTouch(TOUCH_EVENT_BEGAN, this, point);
    callPushDownHandler();
    callTouchEventHandler(TOUCH_EVENT_BEGAN);
    return m_touchPassedEnabled;
}

void UIWidget::onTouchMoved(const CCPoint& point) {
    CCRef<UIWidget> keepAlive(this);
    m_touchMovePos = point;
    bool over = hitTest(point);
    if (over != m_focused) setFocused(over);
    if (m_parent) m_parent->onChildTouch(TOUCH_EVENT_MOVED, this, point);
    callMoveHandler();
    callTouchEventHandler(TOUCH_EVENT_MOVED);
}

void UIWidget::onTouchEnded(const CCPoint& point) {
    CCRef<UIWidget> keepAlive(this);
    m_touchEndPos = point;
    bool wasFocused = m_focused;
    if (wasFocused) setFocused(false);
    if (m_parent) m_parent->onChildTouch(TOUCH_EVENT_ENDED, this, point);
    if (wasFocused) {
        callReleaseHandler();
        callTouchEventHandler(TOUCH_EVENT_ENDED);
    } else {
        callCancelHandler();
        callTouchEventHandler(TOUCH_EVENT_CANCELED);
    }
}

void UIWidget::onTouchCancelled(const CCPoint& /*point*/) {
    CCRef<UIWidget> keepAlive(this);
    if (m_focused) setFocused(false);
    callCancelHandler();
    callTouchEventHandler(TOUCH_EVENT_CANCELED);
}

void UIWidget::onChildTouch(int phase, UIWidget* sender, const CCPoint& point) {
    if (m_parent) m_parent->onChildTouch(phase, sender, point);
}

void UIWidget::setTouchEventHandler(engine::CCObject* target, SEL_TouchEvent selector) {
    m_touchEventHandler.bind(target, selector);
}

void UIWidget::setPushDownHandler(engine::CCObject* target, SEL_PushEvent selector) {
    m_pushDownHandler.bind(target, selector);
}

void UIWidget::setMoveHandler(engine::CCObject* target, SEL_PushEvent selector) {
    m_moveHandler.bind(target, selector);
}

void UIWidget::setReleaseHandler(engine::CCObject* target, SEL_PushEvent selector) {
    m_releaseHandler.bind(target, selector);
}

void UIWidget::setCancelHandler(engine::CCObject* target, SEL_PushEvent selector) {
    m_cancelHandler.bind(target, selector);
}

void UIWidget::callTouchEventHandler(int eventType) {
    Handler<SEL_TouchEvent> handler = m_touchEventHandler;
    if (handler) (handler.target->*handler.selector)(this, eventType);
}

void UIWidget::callPushDownHandler() {
    Handler<SEL_PushEvent> handler = m_pushDownHandler;
    if (handler) (handler.target->*handler.selector)(this);
}

void UIWidget::callMoveHandler() {
    Handler<SEL_PushEvent> handler = m_moveHandler;
    if (handler) (handler.target->*handler.selector)(this);
}

void UIWidget::callReleaseHandler() {
    Handler<SEL_PushEvent> handler = m_releaseHandler;
    if (handler) (handler.target->*handler.selector)(this);
}

void UIWidget::callCancelHandler() {
    Handler<SEL_PushEvent> handler = m_cancelHandler;
    if (handler) (handler.target->*handler.selector)(this);
}

// --- per-frame update

void UIWidget::setUpdateEnabled(bool enabled) {
    m_updateEnabled = enabled;
    if (!m_scheduler) return;
    if (enabled)
        m_scheduler->scheduleUpdateForTarget(this, 0, false);
    else
        m_scheduler->unscheduleUpdateForTarget(this);
}

UIWidget::WeakHandle UIWidget::weakHandle() {
    if (!m_lifeToken) m_lifeToken = std::make_shared<UIWidget*>(this);
    return m_lifeToken;
}

void UIWidget::unscheduleSubtreeUpdates(UIWidget* root) {
    std::vector<UIWidget*> pending{root};
    while (!pending.empty()) {
        UIWidget* widget = pending.back();
        pending.pop_back();
        if (widget->m_scheduler) widget->m_scheduler->unscheduleUpdateForTarget(widget);
        if (!widget->m_children) continue;
        for (engine::CCObject* child : *widget->m_children)
            pending.push_back(static_cast<UIWidget*>(child));
    }
}

} // namespace gui
