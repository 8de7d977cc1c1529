#include "engine/nodes/CCNode.h"

#include "engine/actions/CCAction.h"
#include "engine/actions/CCActionManager.h"
#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCScheduler.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {
constexpr float kDegreesToRadians = static_cast<float>(M_PI / 180.0);

// Runs `call` on a snapshot of the children, each held for the call: a child
// may add or remove siblings (or itself) while entering or leaving.
template <class Call> void forEachChild(const std::vector<CCNode*>& children, Call call) {
    std::vector<CCRef<CCNode>> snapshot(children.begin(), children.end());
    for (auto& child : snapshot) call(child.get());
}
} // namespace

CCNode::CCNode() {
    CCDirector* director = CCDirector::sharedDirector();
    m_scheduler = director->getScheduler();
    m_actionManager = director->getActionManager();
}

CCNode::~CCNode() {
    // A node that dies without cleanup must not leave callbacks behind.
    m_scheduler->unscheduleAllForTarget(this);
    m_actionManager->removeAllActionsFromTarget(this);
    for (CCNode* child : m_children) {
        child->m_parent = nullptr;
        child->release();
    }
    m_children.clear();
}

CCNode* CCNode::create() {
    auto* node = new CCNode();
    return autoreleasedIf(node->init(), node);
}

// --- geometry

void CCNode::setPosition(const CCPoint& position) {
    m_position = position;
    m_transformDirty = true;
}

void CCNode::setAnchorPoint(const CCPoint& anchor) {
    m_anchorPoint = anchor;
    m_anchorPointInPoints = {m_contentSize.width * anchor.x, m_contentSize.height * anchor.y};
    m_transformDirty = true;
}

void CCNode::setContentSize(const CCSize& size) {
    m_contentSize = size;
    m_anchorPointInPoints = {size.width * m_anchorPoint.x, size.height * m_anchorPoint.y};
    m_transformDirty = true;
}

void CCNode::setScale(float scale) {
    m_scaleX = m_scaleY = scale;
    m_transformDirty = true;
}

void CCNode::setScaleX(float scale) {
    m_scaleX = scale;
    m_transformDirty = true;
}

void CCNode::setScaleY(float scale) {
    m_scaleY = scale;
    m_transformDirty = true;
}

void CCNode::setRotation(float degrees) {
    m_rotation = degrees;
    m_transformDirty = true;
}

void CCNode::ignoreAnchorPointForPosition(bool ignore) {
    m_ignoreAnchorPointForPosition = ignore;
    m_transformDirty = true;
}

CCRect CCNode::boundingBox() {
    return CCRectApplyAffineTransform(CCRect(0, 0, m_contentSize.width, m_contentSize.height),
                                      nodeToParentTransform());
}

// --- tree

void CCNode::addChild(CCNode* child) { addChild(child, child ? child->m_zOrder : 0); }

void CCNode::addChild(CCNode* child, int zOrder) { addChild(child, zOrder, child ? child->m_tag : 0); }

void CCNode::addChild(CCNode* child, int zOrder, int tag) {
    if (!child) {
        CCLog("CCNode::addChild: no child given");
        return;
    }
    if (child->m_parent || child == this) {
        CCLog("CCNode::addChild: the child already has a parent");
        return;
    }
    child->retain();
    child->m_tag = tag;
    insertChild(child, zOrder);
    child->m_parent = this;
    if (m_running) {
        child->onEnter();
        child->onEnterTransitionDidFinish();
    }
}

void CCNode::insertChild(CCNode* child, int zOrder) {
    child->m_zOrder = zOrder;
    // After every child of the same z-order: arrival order within equal z.
    auto position = std::upper_bound(m_children.begin(), m_children.end(), zOrder,
                                     [](int z, const CCNode* c) { return z < c->m_zOrder; });
    m_children.insert(position, child);
}

void CCNode::removeChild(CCNode* child, bool cleanup) {
    auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end()) return;
    // The child's exit calls may drop the last other reference to it.
    CCRef<CCNode> keep(child);
    if (m_running) {
        child->onExitTransitionDidStart();
        child->onExit();
    }
    if (cleanup) child->cleanup();
    // onExit may have changed the list; look the child up again.
    it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end()) return;
    m_children.erase(it);
    child->m_parent = nullptr;
    child->release();
}

void CCNode::removeAllChildrenWithCleanup(bool cleanup) {
    std::vector<CCNode*> children;
    children.swap(m_children);
    for (CCNode* child : children) {
        if (m_running) {
            child->onExitTransitionDidStart();
            child->onExit();
        }
        if (cleanup) child->cleanup();
        child->m_parent = nullptr;
        child->release();
    }
}

void CCNode::removeFromParentAndCleanup(bool cleanup) {
    if (m_parent) m_parent->removeChild(this, cleanup);
}

void CCNode::reorderChild(CCNode* child, int zOrder) {
    auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end()) return;
    m_children.erase(it);
    insertChild(child, zOrder);
}

void CCNode::setZOrder(int zOrder) {
    if (m_parent)
        m_parent->reorderChild(this, zOrder);
    else
        m_zOrder = zOrder;
}

CCNode* CCNode::getChildByTag(int tag) const {
    for (CCNode* child : m_children)
        if (child->m_tag == tag) return child;
    return nullptr;
}

// --- enter/exit

void CCNode::onEnter() {
    forEachChild(m_children, [](CCNode* child) { child->onEnter(); });
    resumeSchedulerAndActions();
    m_running = true;
}

void CCNode::onEnterTransitionDidFinish() {
    forEachChild(m_children, [](CCNode* child) { child->onEnterTransitionDidFinish(); });
}

void CCNode::onExitTransitionDidStart() {
    forEachChild(m_children, [](CCNode* child) { child->onExitTransitionDidStart(); });
}

void CCNode::onExit() {
    pauseSchedulerAndActions();
    m_running = false;
    forEachChild(m_children, [](CCNode* child) { child->onExit(); });
}

void CCNode::cleanup() {
    stopAllActions();
    unscheduleAllSelectors();
    forEachChild(m_children, [](CCNode* child) { child->cleanup(); });
}

// --- actions

CCAction* CCNode::runAction(CCAction* action) {
    if (!action) return nullptr;
    m_actionManager->addAction(action, this, !m_running);
    return action;
}

void CCNode::stopAction(CCAction* action) { m_actionManager->removeAction(action); }

void CCNode::stopActionByTag(int tag) { m_actionManager->removeActionByTag(tag, this); }

void CCNode::stopAllActions() { m_actionManager->removeAllActionsFromTarget(this); }

CCAction* CCNode::getActionByTag(int tag) const { return m_actionManager->getActionByTag(tag, this); }

unsigned int CCNode::numberOfRunningActions() const {
    return m_actionManager->numberOfRunningActionsInTarget(this);
}

void CCNode::setActionManager(CCActionManager* manager) {
    if (!manager || manager == m_actionManager) return;
    stopAllActions();
    m_actionManager = manager;
}

// --- scheduling

void CCNode::schedule(SEL_SCHEDULE selector, float interval) {
    schedule(selector, interval, kCCRepeatForever, 0.0f);
}

void CCNode::schedule(SEL_SCHEDULE selector, float interval, unsigned int repeat, float delay) {
    m_scheduler->scheduleSelector(selector, this, interval, repeat, delay, !m_running);
}

void CCNode::scheduleOnce(SEL_SCHEDULE selector, float delay) { schedule(selector, 0.0f, 0, delay); }

void CCNode::unschedule(SEL_SCHEDULE selector) { m_scheduler->unscheduleSelector(selector, this); }

bool CCNode::isScheduled(SEL_SCHEDULE selector) const { return m_scheduler->isScheduled(selector, this); }

void CCNode::scheduleUpdateWithPriority(int priority) {
    m_scheduler->scheduleUpdateForTarget(this, priority, !m_running);
}

void CCNode::unscheduleUpdate() { m_scheduler->unscheduleUpdateForTarget(this); }

void CCNode::unscheduleAllSelectors() { m_scheduler->unscheduleAllForTarget(this); }

void CCNode::resumeSchedulerAndActions() {
    m_scheduler->resumeTarget(this);
    m_actionManager->resumeTarget(this);
}

void CCNode::pauseSchedulerAndActions() {
    m_scheduler->pauseTarget(this);
    m_actionManager->pauseTarget(this);
}

// --- transforms

CCAffineTransform CCNode::nodeToParentTransform() {
    if (!m_transformDirty) return m_transform;
    float x = m_position.x, y = m_position.y;
    if (m_ignoreAnchorPointForPosition) {
        x += m_anchorPointInPoints.x;
        y += m_anchorPointInPoints.y;
    }
    // Rotation is clockwise in degrees; y points up.
    float radians = -m_rotation * kDegreesToRadians;
    float c = 1.0f, s = 0.0f;
    if (m_rotation != 0.0f) {
        c = std::cos(radians);
        s = std::sin(radians);
    }
    // The anchor point is the pivot: move it to the origin before scale and
    // rotation, then to the position.
    float ax = m_anchorPointInPoints.x * m_scaleX, ay = m_anchorPointInPoints.y * m_scaleY;
    x -= c * ax - s * ay;
    y -= s * ax + c * ay;
    m_transform = {c * m_scaleX, s * m_scaleX, -s * m_scaleY, c * m_scaleY, x, y};
    m_transformDirty = false;
    return m_transform;
}

CCAffineTransform CCNode::parentToNodeTransform() { return CCAffineTransformInvert(nodeToParentTransform()); }

CCAffineTransform CCNode::nodeToWorldTransform() {
    CCAffineTransform t = nodeToParentTransform();
    for (CCNode* p = m_parent; p; p = p->m_parent) t = CCAffineTransformConcat(t, p->nodeToParentTransform());
    return t;
}

CCAffineTransform CCNode::worldToNodeTransform() { return CCAffineTransformInvert(nodeToWorldTransform()); }

CCPoint CCNode::convertToNodeSpace(const CCPoint& worldPoint) {
    return CCPointApplyAffineTransform(worldPoint, worldToNodeTransform());
}

CCPoint CCNode::convertToWorldSpace(const CCPoint& nodePoint) {
    return CCPointApplyAffineTransform(nodePoint, nodeToWorldTransform());
}

CCPoint CCNode::convertToNodeSpaceAR(const CCPoint& worldPoint) {
    return convertToNodeSpace(worldPoint) - m_anchorPointInPoints;
}

CCPoint CCNode::convertToWorldSpaceAR(const CCPoint& nodePoint) {
    return convertToWorldSpace(nodePoint + m_anchorPointInPoints);
}

// --- drawing

void CCNode::updateWorldTransform() {
    m_worldTransform = m_parent ? CCAffineTransformConcat(nodeToParentTransform(), m_parent->m_worldTransform)
                                : nodeToParentTransform();
}

void CCNode::visitChildren(bool belowZero) {
    for (CCNode* child : m_children) {
        if ((child->m_zOrder < 0) != belowZero) continue;
        child->visit();
    }
}

void CCNode::visit() {
    if (!m_visible) return;
    updateWorldTransform();
    visitChildren(true);
    draw();
    visitChildren(false);
}

} // namespace engine
