#include "engine/base/CCArray.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCScheduler.h"
#include "engine/nodes/CCScene.h"
#include "gui/GUIRenderer.h"
#include "gui/UIWidget.h"
#include "support/LeakCheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace engine;
using gui::UIWidget;

namespace {

// Records what a widget's handlers and hooks were called with.
class Recorder : public CCObject {
public:
    void onTouch(CCObject* sender, int eventType) {
        senders.push_back(sender);
        codes.push_back(eventType);
    }
    void onPushDown(CCObject*) { calls.push_back("pushDown"); }
    void onMove(CCObject*) { calls.push_back("move"); }
    void onRelease(CCObject*) { calls.push_back("release"); }
    void onCancel(CCObject*) { calls.push_back("cancel"); }
    void bindAll(UIWidget* widget) {
        widget->setTouchEventHandler(this, &Recorder::onTouch);
        widget->setPushDownHandler(this, &Recorder::onPushDown);
        widget->setMoveHandler(this, &Recorder::onMove);
        widget->setReleaseHandler(this, &Recorder::onRelease);
        widget->setCancelHandler(this, &Recorder::onCancel);
    }
    std::vector<int> codes;
    std::vector<CCObject*> senders;
    std::vector<std::string> calls;
};

// A handler class that inherits its handler from a base class.
class DerivedRecorder : public Recorder {};

// Widget that records its look hooks, child notices and frame updates.
class ProbeWidget : public UIWidget {
public:
    static ProbeWidget* create() { return createWidget<ProbeWidget>(); }
    void onChildTouch(int phase, UIWidget* sender, const CCPoint& point) override {
        childPhases.push_back(phase);
        childSenders.push_back(sender);
        UIWidget::onChildTouch(phase, sender, point);
    }
    void update(float) override { ++updates; }
    std::vector<std::string> looks;
    std::vector<int> childPhases;
    std::vector<UIWidget*> childSenders;
    int updates = 0;

protected:
    void onNormalLook() override { looks.push_back("normal"); }
    void onPressedLook() override { looks.push_back("pressed"); }
    void onDisabledLook() override { looks.push_back("disabled"); }
};

// A widget whose content has a size of its own, as an image's texture does.
class ContentWidget : public UIWidget {
public:
    static ContentWidget* create() { return createWidget<ContentWidget>(); }
    CCSize getContentSize() const override { return {40, 20}; }
};

// A container that clips its children to its rectangle.
class ClipWidget : public UIWidget {
public:
    static ClipWidget* create(bool clipping) {
        ClipWidget* widget = createWidget<ClipWidget>();
        widget->m_clipping = clipping;
        widget->m_category = gui::WIDGET_CATEGORY_CONTAINER;
        return widget;
    }
    bool isClippingEnabled() const override { return m_clipping; }

private:
    bool m_clipping = false;
};

class FailingWidget : public UIWidget {
public:
    static FailingWidget* create() { return createWidget<FailingWidget>(); }

protected:
    bool init() override {
        UIWidget::init();
        return false;
    }
};

// An engine node that counts how often the frame draws it.
class DrawCounter : public CCNode {
public:
    static DrawCounter* create() {
        auto* node = new DrawCounter();
        node->autorelease();
        return node;
    }
    void draw() override { ++draws; }
    int draws = 0;
};

std::vector<UIWidget*> childrenOf(UIWidget* widget) {
    std::vector<UIWidget*> result;
    for (CCObject* child : *widget->getChildren())
        result.push_back(static_cast<UIWidget*>(child));
    return result;
}

// A widget with an explicit size, placed at `position`.
template <class W = UIWidget> W* sized(float w, float h, CCPoint position = {0, 0}) {
    W* widget = W::create();
    widget->setIgnoreContentSize(false);
    widget->setSize({w, h});
    widget->setPosition(position);
    return widget;
}

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        director = CCDirector::sharedDirector();
        director->reset();
        leaks.start();
    }
    void TearDown() override {
        CCAutoreleasePool::sharedPool()->drain();
        director->reset();
    }
    CCDirector* director = nullptr;
    testsupport::LeakCheck leaks;
};

using WidgetTreeTest = WidgetTest;
using WidgetLookTest = WidgetTest;
using WidgetSizeTest = WidgetTest;
using WidgetHitTest = WidgetTest;
using WidgetTouchTest = WidgetTest;
using WidgetLifecycleTest = WidgetTest;

} // namespace

// --- tree and z-order

TEST_F(WidgetTreeTest, InsertionByZOrderKeepsArrivalOrderAndMirrorsRenderers) {
    UIWidget* root = UIWidget::create();
    UIWidget* a = UIWidget::create();
    UIWidget* b = UIWidget::create();
    UIWidget* c = UIWidget::create();
    UIWidget* d = UIWidget::create();
    UIWidget* e = UIWidget::create();
    c->setZOrder(-1);
    d->setZOrder(5);
    ASSERT_TRUE(root->addChild(a));
    ASSERT_TRUE(root->addChild(b));
    ASSERT_TRUE(root->addChild(c)); // lower z, added later: goes first
    ASSERT_TRUE(root->addChild(d));
    ASSERT_TRUE(root->addChild(e)); // equal to a and b: after them, before d
    EXPECT_EQ(childrenOf(root), (std::vector<UIWidget*>{c, a, b, e, d}));
    std::vector<CCNode*> nodes = root->getRenderer()->getChildren();
    EXPECT_EQ(nodes, (std::vector<CCNode*>{c->getRenderer(), a->getRenderer(), b->getRenderer(),
                                           e->getRenderer(), d->getRenderer()}));

    a->setZOrder(10);
    EXPECT_EQ(childrenOf(root), (std::vector<UIWidget*>{c, b, e, d, a}));
    EXPECT_EQ(root->getRenderer()->getChildren().back(), a->getRenderer());
    e->setZOrder(-1); // after c, which has the same z and was there first
    EXPECT_EQ(childrenOf(root), (std::vector<UIWidget*>{c, e, b, d, a}));
}

TEST_F(WidgetTreeTest, RefusedAdditionsChangeNothing) {
    UIWidget* root = UIWidget::create();
    UIWidget* child = UIWidget::create();
    UIWidget* grandchild = UIWidget::create();
    UIWidget* other = UIWidget::create();
    ASSERT_TRUE(root->addChild(child));
    ASSERT_TRUE(child->addChild(grandchild));

    EXPECT_FALSE(root->addChild(nullptr));
    EXPECT_FALSE(root->addChild(child));      // already a child
    EXPECT_FALSE(other->addChild(child));     // belongs to another tree
    EXPECT_FALSE(root->addChild(root));       // itself
    EXPECT_FALSE(grandchild->addChild(root)); // its own ancestor: a cycle
    EXPECT_EQ(root->getChildren()->count(), 1u);
    EXPECT_EQ(other->getChildren()->count(), 0u);
    EXPECT_EQ(child->getParent(), root);
    EXPECT_EQ(root->getParent(), nullptr);
    EXPECT_EQ(child->getRenderer()->getParent(), root->getRenderer());
}

TEST_F(WidgetTreeTest, RemovalDetachesWidgetAndRendererAndFreesIt) {
    UIWidget* root = UIWidget::create();
    root->retain();
    CCAutoreleasePool::sharedPool()->drain();
    long withRoot = CCObject::liveObjectCount();
    UIWidget* child = UIWidget::create();
    root->addChild(child);
    child->addChild(UIWidget::create());
    CCAutoreleasePool::sharedPool()->drain(); // the tree now owns child and its child

    EXPECT_FALSE(root->removeChild(nullptr));
    EXPECT_FALSE(root->removeChild(UIWidget::create())); // a stranger
    CCRef<UIWidget> held(child);
    EXPECT_TRUE(root->removeChild(child));
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_EQ(child->getRenderer()->getParent(), nullptr);
    EXPECT_TRUE(root->getRenderer()->getChildren().empty());
    EXPECT_FALSE(root->removeChild(child)); // no longer a child
    held.reset();
    CCAutoreleasePool::sharedPool()->drain();
    EXPECT_EQ(CCObject::liveObjectCount(), withRoot) << "removed subtree was not freed";
    root->release();
}

TEST_F(WidgetTreeTest, WidgetMovedBetweenParentsStaysAliveAndWorking) {
    UIWidget* root = UIWidget::create();
    root->retain();
    root->onEnter();
    UIWidget* a = sized(100, 100);
    UIWidget* b = sized(100, 100, {300, 0});
    root->addChild(a);
    root->addChild(b);
    UIWidget* moved = sized(10, 10, {20, 20});
    a->addChild(moved);
    Recorder recorder;
    moved->setTouchEventHandler(&recorder, &Recorder::onTouch);
    CCAutoreleasePool::sharedPool()->drain(); // the tree is its only owner

    // Taken out and given to another parent, as the speech bubble is.
    EXPECT_TRUE(a->removeChild(moved));
    EXPECT_TRUE(b->addChild(moved));
    CCAutoreleasePool::sharedPool()->drain();
    EXPECT_EQ(moved->getParent(), b);
    EXPECT_EQ(moved->getRenderer()->getParent(), b->getRenderer());
    EXPECT_TRUE(moved->isRunning());
    // It answers touches where its new parent puts it.
    EXPECT_TRUE(moved->hitTest({320, 20}));
    EXPECT_FALSE(moved->hitTest({20, 20}));
    moved->onTouchBegan({320, 20});
    moved->onTouchEnded({320, 20});
    EXPECT_EQ(recorder.codes, (std::vector<int>{0, 2}));

    // Removed and given to nobody, it goes at the next drain.
    CCAutoreleasePool::sharedPool()->drain();
    long before = CCObject::liveObjectCount();
    EXPECT_TRUE(b->removeChild(moved));
    EXPECT_EQ(CCObject::liveObjectCount(), before);
    CCAutoreleasePool::sharedPool()->drain();
    EXPECT_EQ(CCObject::liveObjectCount(), before - 3); // the widget, its renderer and child list
    root->release();
}

TEST_F(WidgetTreeTest, RemoveAllChildrenEmptiesTreeAndLeavesRunning) {
    UIWidget* root = UIWidget::create();
    root->onEnter();
    UIWidget* a = UIWidget::create();
    UIWidget* b = UIWidget::create();
    root->addChild(a);
    root->addChild(b);
    EXPECT_TRUE(a->isRunning());
    CCRef<UIWidget> heldA(a), heldB(b);
    root->removeAllChildren();
    EXPECT_EQ(root->getChildren()->count(), 0u);
    EXPECT_FALSE(a->isRunning());
    EXPECT_FALSE(b->isRunning());
    EXPECT_EQ(a->getParent(), nullptr);
    EXPECT_TRUE(root->getRenderer()->getChildren().empty());
}

TEST_F(WidgetTreeTest, DestroyedParentReleasesChildrenAndClearsTheirLinks) {
    UIWidget* parent = UIWidget::create();
    parent->retain();
    UIWidget* child = UIWidget::create();
    ProbeWidget* grandchild = ProbeWidget::create();
    parent->addChild(child);
    child->addChild(grandchild);
    grandchild->setUpdateEnabled(true);
    CCRef<UIWidget> held(child);
    CCAutoreleasePool::sharedPool()->drain();
    parent->release(); // gone now; the child outlives it like a removed child
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_EQ(child->getRenderer()->getParent(), nullptr);
    EXPECT_EQ(held->retainCount(), 1u);
    EXPECT_EQ(grandchild->getParent(), child);
    EXPECT_FALSE(director->getScheduler()->isUpdateScheduled(grandchild));
}

// --- enabled, bright, focus and looks

TEST_F(WidgetLookTest, FreshWidgetDefaults) {
    ProbeWidget* widget = ProbeWidget::create();
    EXPECT_EQ(widget->getSize(), CCSize(0, 0));
    EXPECT_TRUE(widget->isIgnoreContentSize());
    EXPECT_EQ(widget->getBrightState(), gui::BRIGHT_NORMAL);
    EXPECT_EQ(widget->looks, (std::vector<std::string>{"normal"}));
    EXPECT_FALSE(widget->isTouchEnabled()); // the root of a screen never takes a touch itself
}

TEST_F(WidgetLookTest, FocusFollowsTheFingerInAndOut) {
    auto* widget = sized<ProbeWidget>(40, 20, {100, 100});
    Recorder recorder;
    recorder.bindAll(widget);
    widget->looks.clear();
    widget->onTouchBegan({100, 100});
    EXPECT_TRUE(widget->isFocused());
    widget->onTouchMoved({200, 100}); // out
    EXPECT_FALSE(widget->isFocused());
    widget->onTouchMoved({210, 100}); // still out: no change
    widget->onTouchMoved({101, 101}); // back in
    EXPECT_TRUE(widget->isFocused());
    widget->onTouchEnded({101, 101});
    EXPECT_FALSE(widget->isFocused());
    EXPECT_EQ(widget->looks, (std::vector<std::string>{"pressed", "normal", "pressed", "normal"}));
    EXPECT_EQ(recorder.codes, (std::vector<int>{0, 1, 1, 1, 2}));
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"pushDown", "move", "move", "move", "release"}));
}

TEST_F(WidgetLookTest, DimWidgetNeverShowsThePressedLook) {
    auto* widget = sized<ProbeWidget>(40, 20, {100, 100});
    widget->setBright(false);
    widget->looks.clear();
    widget->onTouchBegan({100, 100});
    widget->onTouchMoved({300, 300});
    widget->onTouchMoved({100, 100});
    widget->onTouchEnded({100, 100});
    widget->setBrightState(gui::BRIGHT_HIGHLIGHT);
    EXPECT_EQ(widget->looks, (std::vector<std::string>{"disabled", "disabled", "disabled", "disabled"}));

    widget->setBright(true); // restores normal, even over a stored highlight
    EXPECT_EQ(widget->getBrightState(), gui::BRIGHT_NORMAL);
    EXPECT_EQ(widget->looks.back(), "normal");
    widget->looks.clear();
    widget->setBrightState(gui::BRIGHT_NORMAL); // same state: no hook
    EXPECT_TRUE(widget->looks.empty());
}

TEST_F(WidgetLookTest, DisablingAContainerDisablesAndReenablesTheWholeSubtree) {
    UIWidget* root = UIWidget::create();
    UIWidget* child = UIWidget::create();
    UIWidget* grandchild = UIWidget::create();
    root->addChild(child);
    child->addChild(grandchild);
    grandchild->setEnabled(false); // disabled on its own first
    auto rendererOn = [](UIWidget* w) {
        return dynamic_cast<gui::GUIRenderer*>(w->getRenderer())->isEnabled();
    };
    EXPECT_FALSE(rendererOn(grandchild));

    root->setEnabled(false);
    for (UIWidget* w : {root, child, grandchild}) {
        EXPECT_FALSE(w->isEnabled());
        EXPECT_FALSE(rendererOn(w));
    }
    root->setEnabled(true);
    for (UIWidget* w : {root, child, grandchild}) {
        EXPECT_TRUE(w->isEnabled());
        EXPECT_TRUE(rendererOn(w));
    }
}

TEST_F(WidgetLookTest, DisabledRendererSkipsItsSubtreeInAFrame) {
    CCScene* scene = CCScene::create();
    UIWidget* root = UIWidget::create();
    UIWidget* child = UIWidget::create();
    UIWidget* sibling = UIWidget::create();
    root->addChild(child);
    root->addChild(sibling);
    DrawCounter* inChild = DrawCounter::create();
    DrawCounter* inSibling = DrawCounter::create();
    child->getRenderer()->addChild(inChild);
    sibling->getRenderer()->addChild(inSibling);
    scene->addChild(root->getRenderer());
    CCRef<UIWidget> heldRoot(root);
    director->runWithScene(scene);

    director->stepFrame(1.0f / 60);
    EXPECT_EQ(inChild->draws, 1);
    EXPECT_EQ(inSibling->draws, 1);

    child->setEnabled(false); // only its own subtree goes
    director->stepFrame(1.0f / 60);
    EXPECT_EQ(inChild->draws, 1);
    EXPECT_EQ(inSibling->draws, 2);

    root->setEnabled(false);
    director->stepFrame(1.0f / 60);
    EXPECT_EQ(inSibling->draws, 2);

    root->setEnabled(true);
    director->stepFrame(1.0f / 60);
    EXPECT_EQ(inChild->draws, 2);
    EXPECT_EQ(inSibling->draws, 3);
    director->reset();
}

// --- sizes and positions

TEST_F(WidgetSizeTest, IgnoreSizeRemembersTheCustomSize) {
    ContentWidget* widget = ContentWidget::create();
    EXPECT_EQ(widget->getSize(), CCSize(40, 20)); // follows the content
    widget->setSize({100, 50});
    EXPECT_EQ(widget->getSize(), CCSize(40, 20));
    EXPECT_EQ(widget->getCustomSize(), CCSize(100, 50));
    widget->setIgnoreContentSize(false);
    EXPECT_EQ(widget->getSize(), CCSize(100, 50));
    widget->setIgnoreContentSize(true);
    EXPECT_EQ(widget->getSize(), CCSize(40, 20));
    widget->setSize({30, 30});
    widget->setIgnoreContentSize(false);
    EXPECT_EQ(widget->getSize(), CCSize(30, 30));
}

TEST_F(WidgetSizeTest, PercentagesResolveFromTheParent) {
    UIWidget* parent = sized(200, 100);
    parent->onEnter();

    UIWidget* byPercent = UIWidget::create();
    byPercent->setIgnoreContentSize(false);
    byPercent->setSizeMode(gui::SIZE_PERCENT);
    byPercent->setSizePercent({0.5f, 0.25f}); // not running yet: nothing resolves
    EXPECT_EQ(byPercent->getSize(), CCSize(0, 0));
    byPercent->setPositionMode(gui::POSITION_PERCENT);
    byPercent->setPositionPercent({0.25f, 0.5f});
    parent->addChild(byPercent);
    EXPECT_EQ(byPercent->getSize(), CCSize(100, 25));
    EXPECT_EQ(byPercent->getCustomSize(), CCSize(100, 25));
    EXPECT_EQ(byPercent->getPosition(), CCPoint(50, 50));
    byPercent->setSizePercent({1, 1});
    EXPECT_EQ(byPercent->getSize(), CCSize(200, 100));

    UIWidget* absolute = sized(50, 50, {100, 25});
    parent->addChild(absolute);
    EXPECT_EQ(absolute->getSizePercent(), CCPoint(0.25f, 0.5f));
    EXPECT_EQ(absolute->getPositionPercent(), CCPoint(0.5f, 0.25f));
    absolute->setPosition({20, 10});
    EXPECT_EQ(absolute->getPositionPercent(), CCPoint(0.1f, 0.1f));
    absolute->setSize({200, 10});
    EXPECT_EQ(absolute->getSizePercent(), CCPoint(1.0f, 0.1f));
}

TEST_F(WidgetSizeTest, NestedPercentagesSeeTheResolvedParentSize) {
    UIWidget* root = sized(400, 200);
    root->onEnter();
    UIWidget* middle = UIWidget::create();
    middle->setIgnoreContentSize(false);
    middle->setSizeMode(gui::SIZE_PERCENT);
    middle->setSizePercent({0.5f, 0.5f});
    UIWidget* leaf = UIWidget::create();
    leaf->setIgnoreContentSize(false);
    leaf->setSizeMode(gui::SIZE_PERCENT);
    leaf->setSizePercent({0.5f, 0.5f});
    middle->addChild(leaf);
    root->addChild(middle); // both enter now
    EXPECT_EQ(middle->getSize(), CCSize(200, 100));
    EXPECT_EQ(leaf->getSize(), CCSize(100, 50));
}

TEST_F(WidgetSizeTest, ZeroSizedParentGivesZeroPercentagesNotNaN) {
    UIWidget* parent = UIWidget::create(); // plain widget: size (0, 0)
    parent->onEnter();
    UIWidget* child = sized(30, 40, {10, 10});
    parent->addChild(child);
    EXPECT_EQ(child->getSizePercent(), CCPoint(0, 0));
    EXPECT_EQ(child->getPositionPercent(), CCPoint(0, 0));

    UIWidget* orphan = UIWidget::create(); // percent position without parent keeps its place
    orphan->setPosition({7, 9});
    orphan->setPositionMode(gui::POSITION_PERCENT);
    orphan->setPositionPercent({0.5f, 0.5f});
    orphan->onEnter();
    EXPECT_EQ(orphan->getPosition(), CCPoint(7, 9));
}

TEST_F(WidgetSizeTest, EdgesFollowAnchorForPlainWidgetsAndCornerForContainers) {
    UIWidget* plain = sized(40, 20, {100, 100});
    EXPECT_FLOAT_EQ(plain->getLeftEdge(), 80);
    EXPECT_FLOAT_EQ(plain->getBottomEdge(), 90);
    EXPECT_FLOAT_EQ(plain->getRightEdge(), 120);
    EXPECT_FLOAT_EQ(plain->getTopEdge(), 110);
    plain->setAnchorPoint({0, 1});
    EXPECT_FLOAT_EQ(plain->getLeftEdge(), 100);
    EXPECT_FLOAT_EQ(plain->getBottomEdge(), 80);

    ClipWidget* container = ClipWidget::create(false);
    container->setIgnoreContentSize(false);
    container->setSize({40, 20});
    container->setPosition({100, 100});
    EXPECT_FLOAT_EQ(container->getLeftEdge(), 100);
    EXPECT_FLOAT_EQ(container->getBottomEdge(), 100);
    EXPECT_FLOAT_EQ(container->getTopEdge(), 120);
}

// --- hit testing

TEST_F(WidgetHitTest, InclusiveEdgesInTheParentsTransform) {
    UIWidget* widget = sized(40, 20, {100, 100});
    EXPECT_TRUE(widget->hitTest({80, 90}));
    EXPECT_TRUE(widget->hitTest({120, 110}));
    EXPECT_FALSE(widget->hitTest({79.9f, 100}));
    EXPECT_FALSE(widget->hitTest({100, 110.1f}));

    UIWidget* parent = sized(10, 10, {10, 10});
    parent->setScale(2);
    parent->addChild(widget); // now at world (10, 10) + 2 × (100, 100), 80 × 40
    EXPECT_TRUE(widget->hitTest({210 - 40, 210 - 20}));
    EXPECT_TRUE(widget->hitTest({210 + 40, 210 + 20}));
    EXPECT_FALSE(widget->hitTest({120, 110}));
}

TEST_F(WidgetHitTest, WidgetScaledToNothingIsNeverHit) {
    UIWidget* widget = sized(40, 20, {0, 0});
    widget->setScale(0);
    EXPECT_FALSE(widget->hitTest({0, 0}));
    EXPECT_FALSE(widget->hitTest({5, 5}));
}

TEST_F(WidgetHitTest, HiddenWidgetStillHitAndTouchable) {
    UIWidget* widget = sized(40, 20, {100, 100});
    Recorder recorder;
    recorder.bindAll(widget);
    widget->setVisible(false);
    EXPECT_FALSE(widget->getRenderer()->isVisible());
    EXPECT_TRUE(widget->isEnabled());
    EXPECT_TRUE(widget->hitTest({100, 100}));
    widget->onTouchBegan({100, 100});
    widget->onTouchEnded({100, 100});
    EXPECT_EQ(recorder.codes, (std::vector<int>{0, 2}));
}

TEST_F(WidgetHitTest, PointMustLieInsideEveryClippingAncestor) {
    ClipWidget* outer = ClipWidget::create(true);
    outer->setIgnoreContentSize(false);
    outer->setAnchorPoint({0, 0});
    outer->setSize({100, 100}); // world 0..100
    ClipWidget* plainContainer = ClipWidget::create(false);
    plainContainer->setAnchorPoint({0, 0});
    plainContainer->setIgnoreContentSize(false);
    plainContainer->setSize({1, 1}); // does not clip: ignored
    ClipWidget* inner = ClipWidget::create(true);
    inner->setIgnoreContentSize(false);
    inner->setAnchorPoint({0, 0});
    inner->setSize({100, 100});
    inner->setPosition({50, 50}); // world 50..150
    UIWidget* leaf = sized(400, 400);
    outer->addChild(plainContainer);
    plainContainer->addChild(inner);
    inner->addChild(leaf);

    EXPECT_TRUE(leaf->isInsideClippingAncestors({75, 75}));
    EXPECT_TRUE(leaf->isAffectedByClipping());
    EXPECT_FALSE(leaf->isInsideClippingAncestors({25, 25}));   // outer only
    EXPECT_FALSE(leaf->isInsideClippingAncestors({125, 125})); // inner only
    EXPECT_TRUE(leaf->isInsideClippingAncestors({100, 100}));  // both edges included

    EXPECT_TRUE(plainContainer->isInsideClippingAncestors({50, 50}));
    EXPECT_FALSE(plainContainer->isInsideClippingAncestors({500, 500})); // outside outer
    EXPECT_TRUE(UIWidget::create()->isInsideClippingAncestors({-999, -999}));
    EXPECT_FALSE(UIWidget::create()->isAffectedByClipping());
}

// --- touch phases and handlers

TEST_F(WidgetTouchTest, LiftInsideReportsEndedAndLiftOutsideReportsCancelled) {
    auto* widget = sized<ProbeWidget>(40, 20, {100, 100});
    Recorder recorder;
    recorder.bindAll(widget);
    widget->onTouchBegan({100, 100});
    widget->onTouchMoved({105, 100});
    widget->onTouchEnded({105, 100});
    EXPECT_EQ(recorder.codes, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"pushDown", "move", "release"}));
    EXPECT_EQ(recorder.senders, (std::vector<CCObject*>{widget, widget, widget}));

    Recorder outside;
    outside.bindAll(widget);
    widget->onTouchBegan({100, 100});
    widget->onTouchMoved({500, 500});
    widget->onTouchEnded({500, 500});
    EXPECT_EQ(outside.codes, (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(outside.calls, (std::vector<std::string>{"pushDown", "move", "cancel"}));
    EXPECT_EQ(widget->getTouchStartPos(), CCPoint(100, 100));
    EXPECT_EQ(widget->getTouchEndPos(), CCPoint(500, 500));
}

TEST_F(WidgetTouchTest, CancelReportsThreeAndParentsHearOnlyBeganMovedEnded) {
    ProbeWidget* grandparent = ProbeWidget::create();
    UIWidget* parent = UIWidget::create();
    auto* leaf = sized<ProbeWidget>(40, 20, {100, 100});
    grandparent->addChild(parent);
    parent->addChild(leaf);
    Recorder recorder;
    recorder.bindAll(leaf);

    leaf->onTouchBegan({100, 100});
    leaf->onTouchCancelled({100, 100});
    EXPECT_FALSE(leaf->isFocused());
    EXPECT_EQ(recorder.codes, (std::vector<int>{0, 3}));
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"pushDown", "cancel"}));
    EXPECT_EQ(grandparent->childPhases, (std::vector<int>{0}));

    leaf->onTouchBegan({100, 100});
    leaf->onTouchMoved({100, 100});
    leaf->onTouchEnded({900, 900});
    EXPECT_EQ(grandparent->childPhases, (std::vector<int>{0, 0, 1, 2}));
    EXPECT_EQ(grandparent->childSenders.back(), leaf);
}

TEST_F(WidgetTouchTest, NullTargetSwitchesHandlersOffAndRebindingReplaces) {
    UIWidget* widget = sized(10, 10);
    Recorder first, second;
    first.bindAll(widget);
    widget->setTouchEventHandler(&second, &Recorder::onTouch);
    widget->setPushDownHandler(nullptr, pusheventselector(Recorder::onPushDown));
    widget->setReleaseHandler(nullptr, nullptr);
    widget->onTouchBegan({0, 0});
    widget->onTouchEnded({0, 0});
    EXPECT_TRUE(first.codes.empty());
    EXPECT_EQ(second.codes, (std::vector<int>{0, 2}));
    EXPECT_TRUE(first.calls.empty()); // pushDown and release off; nothing else fired

    widget->setTouchEventHandler(nullptr, toucheventselector(Recorder::onTouch));
    widget->onTouchBegan({0, 0});
    widget->onTouchEnded({0, 0});
    EXPECT_EQ(second.codes.size(), 2u);
}

TEST_F(WidgetTouchTest, HandlerTargetsAreNotRetained) {
    UIWidget* widget = sized(10, 10);
    auto* target = new DerivedRecorder(); // a handler inherited from the base class
    widget->setTouchEventHandler(target, &Recorder::onTouch);
    widget->setCancelHandler(target, &Recorder::onCancel);
    EXPECT_EQ(target->retainCount(), 1u);
    widget->onTouchBegan({0, 0});
    widget->onTouchCancelled({0, 0});
    EXPECT_EQ(target->codes, (std::vector<int>{0, 3}));
    widget->setTouchEventHandler(nullptr, nullptr);
    widget->setCancelHandler(nullptr, nullptr);
    target->release();
}

namespace {
// Removes the widget from its tree on release: the widget's last owner goes
// while its own touch operation is still running.
class Closer : public CCObject {
public:
    void close(CCObject* sender, int eventType) {
        if (eventType == gui::TOUCH_EVENT_ENDED) static_cast<UIWidget*>(sender)->removeFromParent();
    }
};
} // namespace

TEST_F(WidgetTouchTest, HandlerMayRemoveItsOwnWidget) {
    UIWidget* root = UIWidget::create();
    root->retain();
    UIWidget* button = sized(10, 10);
    root->addChild(button);
    CCAutoreleasePool::sharedPool()->drain(); // the tree is the button's only owner
    long before = CCObject::liveObjectCount();
    Closer closer;
    button->setTouchEventHandler(&closer, &Closer::close);
    button->onTouchBegan({0, 0});
    button->onTouchEnded({0, 0}); // sanitizers catch any use after free here
    EXPECT_EQ(root->getChildren()->count(), 0u);
    CCAutoreleasePool::sharedPool()->drain();
    EXPECT_EQ(CCObject::liveObjectCount(), before - 2); // the button and its renderer
    root->release();
}

// --- creation, update and destruction

TEST_F(WidgetLifecycleTest, CreateIsAutoreleasedAndFailedInitGivesNone) {
    UIWidget* widget = UIWidget::create();
    EXPECT_EQ(widget->retainCount(), 1u);
    EXPECT_TRUE(CCAutoreleasePool::sharedPool()->contains(widget));
    CCAutoreleasePool::sharedPool()->drain();
    long before = CCObject::liveObjectCount();
    EXPECT_EQ(FailingWidget::create(), nullptr);
    CCAutoreleasePool::sharedPool()->drain();
    EXPECT_EQ(CCObject::liveObjectCount(), before);
}

TEST_F(WidgetLifecycleTest, UpdateRunsWhileEnabledAndStopsOnRemovalAndDestruction) {
    CCScheduler* scheduler = director->getScheduler();
    UIWidget* root = UIWidget::create();
    ProbeWidget* child = ProbeWidget::create();
    ProbeWidget* grandchild = ProbeWidget::create();
    root->addChild(child);
    child->addChild(grandchild);
    child->setUpdateEnabled(true);
    grandchild->setUpdateEnabled(true);
    EXPECT_TRUE(scheduler->isUpdateScheduled(child));
    scheduler->update(0.1f);
    EXPECT_EQ(child->updates, 1);
    EXPECT_EQ(grandchild->updates, 1);

    grandchild->setUpdateEnabled(false);
    scheduler->update(0.1f);
    EXPECT_EQ(grandchild->updates, 1);
    grandchild->setUpdateEnabled(true);

    CCRef<ProbeWidget> held(child);
    root->removeChild(child); // the subtree stops updating
    scheduler->update(0.1f);
    EXPECT_EQ(child->updates, 2);
    EXPECT_EQ(grandchild->updates, 1);

    child->setUpdateEnabled(true);
    const CCObject* gone = child;
    held.reset();
    CCAutoreleasePool::sharedPool()->drain(); // child dies while scheduled
    EXPECT_FALSE(scheduler->isUpdateScheduled(gone));
    scheduler->update(0.1f);
}

TEST_F(WidgetLifecycleTest, RunningTreeInASceneIsFreedByDirectorReset) {
    CCScene* scene = CCScene::create();
    UIWidget* root = UIWidget::create();
    root->retain();
    root->onEnter();
    for (int i = 0; i < 5; ++i) {
        UIWidget* child = sized(10, 10, {float(i * 20), 0});
        child->setUpdateEnabled(true);
        root->addChild(child);
        child->onTouchBegan({float(i * 20), 0});
        child->onTouchEnded({float(i * 20), 0});
    }
    scene->addChild(root->getRenderer());
    director->runWithScene(scene);
    director->stepFrame(1.0f / 60);
    root->release(); // the scene keeps only the renderers
    director->reset();
}

TEST_F(WidgetLifecycleTest, DeepTreeEntersLeavesAndDiesInOnePiece) {
    // Layout files may nest thousands of levels; the whole chain is freed by
    // releasing its root alone.
    constexpr int kDepth = 10000;
    UIWidget* root = UIWidget::create();
    root->retain();
    root->onEnter();
    UIWidget* top = UIWidget::create();
    UIWidget* bottom = top;
    for (int i = 1; i < kDepth; ++i) {
        UIWidget* next = UIWidget::create();
        bottom->addChild(next);
        bottom = next;
    }
    root->addChild(top);
    EXPECT_TRUE(bottom->isRunning());
    CCAutoreleasePool::sharedPool()->drain();
    root->release();
}
