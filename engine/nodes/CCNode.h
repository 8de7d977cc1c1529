#pragma once
// The scene-graph node: a transform (position, anchor, scale, rotation),
// children kept in z-order (arrival order within equal z-order), and the
// node's timers and actions, which run only while the node is in the
// running scene.
//
// Index: geometry | tree | enter/exit | actions | scheduling | transforms | drawing
#include "engine/base/CCAffineTransform.h"
#include "engine/base/CCGeometry.h"
#include "engine/base/CCObject.h"

#include <string>
#include <vector>

namespace engine {

class CCAction;
class CCActionManager;
class CCScheduler;

enum { kCCNodeTagInvalid = -1 };

class CCNode : public CCObject {
public:
    CCNode();
    ~CCNode() override;
    static CCNode* create();
    virtual bool init() { return true; }

    // --- geometry
    virtual void setPosition(const CCPoint& position);
    void setPosition(float x, float y) { setPosition(CCPoint(x, y)); }
    const CCPoint& getPosition() const { return m_position; }
    float getPositionX() const { return m_position.x; }
    float getPositionY() const { return m_position.y; }
    void setPositionX(float x) { setPosition(CCPoint(x, m_position.y)); }
    virtual void setAnchorPoint(const CCPoint& anchor);
    const CCPoint& getAnchorPoint() const { return m_anchorPoint; }
    const CCPoint& getAnchorPointInPoints() const { return m_anchorPointInPoints; }
    virtual void setContentSize(const CCSize& size);
    const CCSize& getContentSize() const { return m_contentSize; }
    virtual void setScale(float scale);
    float getScale() const { return m_scaleX; }
    virtual void setScaleX(float scale);
    virtual void setScaleY(float scale);
    float getScaleX() const { return m_scaleX; }
    float getScaleY() const { return m_scaleY; }
    // Degrees, clockwise.
    virtual void setRotation(float degrees);
    float getRotation() const { return m_rotation; }
    virtual void setVisible(bool visible) { m_visible = visible; }
    bool isVisible() const { return m_visible; }
    // Scenes and layers place their lower-left corner at their position.
    void ignoreAnchorPointForPosition(bool ignore);
    bool isIgnoreAnchorPointForPosition() const { return m_ignoreAnchorPointForPosition; }
    // The node's rectangle in its parent's space.
    CCRect boundingBox();

    // --- tree
    virtual void addChild(CCNode* child);
    virtual void addChild(CCNode* child, int zOrder);
    virtual void addChild(CCNode* child, int zOrder, int tag);
    virtual void removeChild(CCNode* child, bool cleanup = true);
    virtual void removeAllChildrenWithCleanup(bool cleanup);
    void removeAllChildren() { removeAllChildrenWithCleanup(true); }
    void removeFromParentAndCleanup(bool cleanup);
    void removeFromParent() { removeFromParentAndCleanup(true); }
    // Moves the child behind the other children of the new z-order.
    virtual void reorderChild(CCNode* child, int zOrder);
    CCNode* getChildByTag(int tag) const;
    const std::vector<CCNode*>& getChildren() const { return m_children; }
    unsigned int getChildrenCount() const { return static_cast<unsigned int>(m_children.size()); }
    CCNode* getParent() const { return m_parent; }
    int getZOrder() const { return m_zOrder; }
    // Only for a node without parent; a child is moved with reorderChild.
    void setZOrder(int zOrder);
    int getTag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // --- enter/exit: called by the tree as the node joins and leaves the running scene
    virtual void onEnter();
    virtual void onEnterTransitionDidFinish();
    virtual void onExitTransitionDidStart();
    virtual void onExit();
    // Stops actions and timers of the node and its subtree.
    virtual void cleanup();
    bool isRunning() const { return m_running; }

    // --- actions
    CCAction* runAction(CCAction* action);
    void stopAction(CCAction* action);
    void stopActionByTag(int tag);
    void stopAllActions();
    CCAction* getActionByTag(int tag) const;
    unsigned int numberOfRunningActions() const;
    CCActionManager* getActionManager() const { return m_actionManager.get(); }
    void setActionManager(CCActionManager* manager);

    // --- scheduling
    void schedule(SEL_SCHEDULE selector, float interval = 0.0f);
    void schedule(SEL_SCHEDULE selector, float interval, unsigned int repeat, float delay);
    void scheduleOnce(SEL_SCHEDULE selector, float delay);
    void unschedule(SEL_SCHEDULE selector);
    bool isScheduled(SEL_SCHEDULE selector) const;
    void scheduleUpdate() { scheduleUpdateWithPriority(0); }
    void scheduleUpdateWithPriority(int priority);
    void unscheduleUpdate();
    // Every timer and the per-frame update of this node.
    void unscheduleAllSelectors();
    void resumeSchedulerAndActions();
    void pauseSchedulerAndActions();
    CCScheduler* getScheduler() const { return m_scheduler.get(); }

    // --- transforms
    virtual CCAffineTransform nodeToParentTransform();
    CCAffineTransform parentToNodeTransform();
    CCAffineTransform nodeToWorldTransform();
    CCAffineTransform worldToNodeTransform();
    CCPoint convertToNodeSpace(const CCPoint& worldPoint);
    CCPoint convertToWorldSpace(const CCPoint& nodePoint);
    // Relative to the anchor point instead of the lower-left corner.
    CCPoint convertToNodeSpaceAR(const CCPoint& worldPoint);
    CCPoint convertToWorldSpaceAR(const CCPoint& nodePoint);

    // --- drawing
    // Visits the subtree in z-order: children below zero, the node itself,
    // then the rest. Invisible nodes skip their whole subtree.
    virtual void visit();
    // Draws the node alone, with the world transform of the current visit.
    virtual void draw() {}
    // The transform from this node to the world, as computed by the last visit.
    const CCAffineTransform& getWorldTransform() const { return m_worldTransform; }
    // Computes the world transform from the parent's (as during a visit).
    void updateWorldTransform();

protected:
    void insertChild(CCNode* child, int zOrder);
    void visitChildren(bool belowZero);

    std::vector<CCNode*> m_children; // retained, sorted by z-order
    CCNode* m_parent = nullptr;      // not retained
    int m_zOrder = 0;
    int m_tag = kCCNodeTagInvalid;
    CCPoint m_position;
    CCPoint m_anchorPoint;
    CCPoint m_anchorPointInPoints;
    CCSize m_contentSize;
    float m_scaleX = 1.0f, m_scaleY = 1.0f;
    float m_rotation = 0.0f;
    bool m_visible = true;
    bool m_ignoreAnchorPointForPosition = false;
    bool m_running = false;
    bool m_transformDirty = true;
    CCAffineTransform m_transform;      // node to parent
    CCAffineTransform m_worldTransform; // node to world, as of the last visit
    // Released in the reverse order: the scheduler, then the action manager.
    CCRef<CCActionManager> m_actionManager;
    CCRef<CCScheduler> m_scheduler;
};

} // namespace engine
