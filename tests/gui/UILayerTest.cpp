#include "gui/UILayer.h"
#include "engine/base/CCArray.h"
#include "engine/base/CCSet.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCScene.h"
#include "gui/Layout.h"
#include "gui/UIRootWidget.h"
#include "gui/UITouchRouter.h"
#include "support/SceneTest.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace engine;
using gui::Layout;
using gui::UILayer;
using gui::UIWidget;
using testsupport::HeadlessView;
using testsupport::isColour;

namespace {

// Records the touch-event codes each widget reports.
class Recorder : public CCObject {
public:
    void onTouch(CCObject* sender, int code) { codes[static_cast<UIWidget*>(sender)].push_back(code); }
    void listen(UIWidget* widget) { widget->setTouchEventHandler(this, &Recorder::onTouch); }
    std::vector<int> of(UIWidget* widget) { return codes[widget]; }
    std::map<UIWidget*, std::vector<int>> codes;
};

// A touch-enabled widget of `w` x `h` centred on `centre` (anchor 0.5).
UIWidget* button(float w, float h, CCPoint centre) {
    UIWidget* widget = UIWidget::create();
    widget->setIgnoreContentSize(false);
    widget->setSize({w, h});
    widget->setPosition(centre);
    widget->setTouchEnabled(true);
    return widget;
}

Layout* panel(float w, float h, CCPoint corner, bool clipping = false) {
    Layout* layout = Layout::create();
    layout->setSize({w, h});
    layout->setPosition(corner);
    layout->setClipping(clipping);
    return layout;
}

// A panel that hears the touch phases of its descendants.
class ListeningPanel : public Layout {
public:
    static ListeningPanel* create() { return createWidget<ListeningPanel>(); }
    void onChildTouch(int phase, UIWidget* sender, const CCPoint& point) override {
        childPhases.push_back(phase);
        Layout::onChildTouch(phase, sender, point);
    }
    std::vector<int> childPhases;
};

// An engine layer taking all touches at once, behind every one-at-a-time handler.
class AllAtOnceLayer : public CCLayer {
public:
    static AllAtOnceLayer* create() {
        auto* layer = new AllAtOnceLayer();
        layer->init();
        layer->setTouchEnabled(true);
        layer->autorelease();
        return layer;
    }
    void ccTouchesBegan(CCSet* touches, CCEvent*) override { began += static_cast<int>(touches->count()); }
    int began = 0;
};

class UILayerTest : public testsupport::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        recorder = new Recorder();
    }
    void TearDown() override { recorder->release(); }
    // A running UI layer holding `widgets`.
    UILayer* showLayer(std::initializer_list<UIWidget*> widgets) {
        UILayer* layer = UILayer::create();
        for (UIWidget* widget : widgets)
            layer->addWidget(widget);
        screen.show(layer);
        return layer;
    }
    static void tap(CCPoint point, int id = 0) {
        HeadlessView::touchBegan(point, id);
        HeadlessView::touchEnded(point, id);
    }
    static CCTouchDispatcher* dispatcher() { return CCDirector::sharedDirector()->getTouchDispatcher(); }

    Recorder* recorder = nullptr;
};

using UILayerLifecycleTest = UILayerTest;
using UITouchPickTest = UILayerTest;
using UITouchPhaseTest = UILayerTest;

} // namespace

// --- the layer

TEST_F(UILayerLifecycleTest, RootRunsFromInitSoAddedWidgetsResolveTheirPercentagesAtOnce) {
    UILayer* layer = UILayer::create();
    gui::UIRootWidget* root = layer->getRootWidget();
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->getKindName(), "RootWidget");
    EXPECT_TRUE(root->isRunning());
    EXPECT_FALSE(root->isTouchEnabled());
    EXPECT_FALSE(root->hasClipping());
    EXPECT_EQ(root->getSize(), CCSize(640, 960));
    EXPECT_EQ(root->getRenderer()->getParent(), layer);

    Layout* half = Layout::create();
    half->setSizeMode(gui::SIZE_PERCENT);
    half->setSizePercent({0.5f, 0.25f});
    layer->addWidget(half);
    EXPECT_TRUE(half->isRunning());
    EXPECT_EQ(half->getSize(), CCSize(320, 240));
}

TEST_F(UILayerLifecycleTest, TakesTouchesOneAtATimeOnlyWhileInTheRunningScene) {
    UILayer* layer = UILayer::create();
    layer->retain();
    EXPECT_FALSE(dispatcher()->hasDelegate(layer));
    screen.show(layer);
    EXPECT_EQ(layer->getTouchMode(), kCCTouchesOneByOne);
    EXPECT_TRUE(layer->isTouchEnabled());
    EXPECT_TRUE(dispatcher()->hasDelegate(layer));
    layer->dispose();
    EXPECT_EQ(layer->getParent(), nullptr);
    EXPECT_FALSE(dispatcher()->hasDelegate(layer));
    EXPECT_FALSE(layer->isTouchEnabled());
    layer->release();
}

TEST_F(UILayerLifecycleTest, SetVisibleHidesLayerAndRootAndClearEmptiesTheRoot) {
    Layout* colour = panel(100, 100, {0, 0});
    colour->setBackgroundColorType(gui::LAYOUT_COLOR_SOLID);
    UILayer* layer = showLayer({colour, button(10, 10, {300, 300})});
    EXPECT_TRUE(isColour(screen.at(50.5f, 50.5f), 255, 255, 255));
    layer->setVisible(false);
    screen.step();
    EXPECT_FALSE(layer->isVisible());
    EXPECT_FALSE(layer->getRootWidget()->isVisible());
    EXPECT_FALSE(layer->getRootWidget()->getRenderer()->isVisible());
    EXPECT_TRUE(isColour(screen.at(50.5f, 50.5f), 0, 0, 0));
    layer->setVisible(true);
    layer->clear();
    screen.step();
    EXPECT_EQ(layer->getRootWidget()->getChildren()->count(), 0u);
    EXPECT_EQ(layer->getRootWidget()->getRenderer()->getChildrenCount(), 0u);
    EXPECT_TRUE(isColour(screen.at(50.5f, 50.5f), 0, 0, 0));
}

// The scene is replaced while a touch is still held on one of its widgets:
// everything goes, and the touch's end finds nothing to call.
TEST_F(UILayerLifecycleTest, LayerInAReplacedSceneIsFreedCompletely) {
    screen.show(CCNode::create());
    long emptyScene = CCObject::liveObjectCount();

    UIWidget* held = button(100, 100, {320, 480});
    recorder->listen(held);
    Layout* box = panel(200, 200, {0, 0}, true);
    box->setBackgroundColorType(gui::LAYOUT_COLOR_GRADIENT);
    box->addChild(button(50, 50, {25, 25}));
    UILayer* layer = UILayer::create();
    layer->addWidget(box);
    layer->addWidget(held);
    CCScene* scene = CCScene::create();
    scene->addChild(layer);
    CCDirector::sharedDirector()->replaceScene(scene);
    screen.step();
    HeadlessView::touchBegan({320, 480});
    EXPECT_EQ(recorder->of(held), std::vector<int>{0});

    CCScene* next = CCScene::create();
    next->addChild(CCNode::create());
    CCDirector::sharedDirector()->replaceScene(next);
    screen.step(2);
    recorder->codes.clear(); // its keys pointed into the old tree
    HeadlessView::touchEnded({320, 480});
    EXPECT_TRUE(recorder->codes.empty());
    EXPECT_EQ(CCObject::liveObjectCount(), emptyScene);
}

// --- the pick

TEST_F(UITouchPickTest, OverlappingButtonsTheLaterChildTakesTheTouch) {
    UIWidget* first = button(100, 100, {200, 200});
    UIWidget* second = button(100, 100, {250, 200});
    recorder->listen(first);
    recorder->listen(second);
    showLayer({first, second});
    tap({225, 200});
    EXPECT_EQ(recorder->of(second), (std::vector<int>{0, 2}));
    EXPECT_TRUE(recorder->of(first).empty());

    first->setZOrder(1); // now last in the children list
    recorder->codes.clear();
    tap({225, 200});
    EXPECT_EQ(recorder->of(first), (std::vector<int>{0, 2}));
    EXPECT_TRUE(recorder->of(second).empty());
    tap({290, 200}); // only the second lies there
    EXPECT_EQ(recorder->of(second), (std::vector<int>{0, 2}));
}

TEST_F(UITouchPickTest, ChildTakesTheTouchAndItsTouchableParentOnlyHearsOfIt) {
    ListeningPanel* parent = ListeningPanel::create();
    parent->setSize({200, 200});
    parent->setPosition({100, 100});
    parent->setTouchEnabled(true);
    UIWidget* child = button(50, 50, {50, 50}); // world 125..175
    parent->addChild(child);
    recorder->listen(parent);
    recorder->listen(child);
    showLayer({parent});
    tap({150, 150});
    EXPECT_EQ(recorder->of(child), (std::vector<int>{0, 2}));
    EXPECT_TRUE(recorder->of(parent).empty());
    EXPECT_EQ(parent->childPhases, (std::vector<int>{0, 2}));

    tap({250, 250}); // the parent's own area
    EXPECT_EQ(recorder->of(parent), (std::vector<int>{0, 2}));
}

// The panel's edge case: 300 x 200 at (10, 20), a 40-wide button centred at
// (290, 100) in it reaching 10 points past its right edge (world x 310).
TEST_F(UITouchPickTest, ClippingPanelLetsItsButtonTakeTouchesOnlyInsideIt) {
    Layout* box = panel(300, 200, {10, 20}, true);
    UIWidget* inner = button(40, 40, {290, 100});
    box->addChild(inner);
    recorder->listen(inner);
    UILayer* layer = showLayer({box});
    gui::UITouchRouter* router = layer->getTouchRouter();
    EXPECT_EQ(router->findTouchTarget({315, 120}), nullptr);
    EXPECT_EQ(router->findTouchTarget({305, 120}), inner);
    EXPECT_EQ(router->findTouchTarget({310, 120}), inner); // the edge itself is inside

    tap({315, 120});
    EXPECT_TRUE(recorder->of(inner).empty());
    tap({305, 120});
    EXPECT_EQ(recorder->of(inner), (std::vector<int>{0, 2}));

    box->setClipping(false);
    EXPECT_EQ(router->findTouchTarget({315, 120}), inner);
}

TEST_F(UITouchPickTest, ButtonInTwoClippingPanelsNeedsTheTouchInsideBoth) {
    Layout* outer = panel(200, 200, {0, 0}, true);
    Layout* inner = panel(200, 200, {100, 100}, true); // world 100..300, overlapping the outer's corner
    UIWidget* target = button(200, 200, {100, 100});   // covers the inner panel
    inner->addChild(target);
    outer->addChild(inner);
    UILayer* layer = showLayer({outer});
    gui::UITouchRouter* router = layer->getTouchRouter();
    EXPECT_EQ(router->findTouchTarget({150, 150}), target);
    EXPECT_EQ(router->findTouchTarget({250, 150}), nullptr); // inside the inner only
    EXPECT_EQ(router->findTouchTarget({50, 50}), nullptr);   // inside the outer only
    outer->setClipping(false);
    EXPECT_EQ(router->findTouchTarget({250, 150}), target);
}

TEST_F(UITouchPickTest, HiddenButEnabledWidgetIsStillPicked) {
    UIWidget* hidden = button(100, 100, {200, 200});
    hidden->setVisible(false);
    recorder->listen(hidden);
    showLayer({hidden});
    tap({200, 200});
    EXPECT_EQ(recorder->of(hidden), (std::vector<int>{0, 2}));
}

TEST_F(UITouchPickTest, DisabledSubtreeIsNeitherPickedNorDrawn) {
    Layout* parent = panel(200, 200, {100, 100});
    parent->setTouchEnabled(true);
    parent->setBackgroundColorType(gui::LAYOUT_COLOR_SOLID);
    Layout* child = panel(50, 50, {0, 0});
    child->setTouchEnabled(true);
    child->setBackgroundColorType(gui::LAYOUT_COLOR_SOLID);
    child->setBackgroundColor({0, 0, 255});
    parent->addChild(child);
    UILayer* layer = showLayer({parent});
    gui::UITouchRouter* router = layer->getTouchRouter();
    EXPECT_TRUE(isColour(screen.at(120.5f, 120.5f), 0, 0, 255));

    parent->setEnabled(false);
    child->setEnabled(true); // enabled on its own, but under a disabled panel
    screen.step();
    EXPECT_TRUE(isColour(screen.at(120.5f, 120.5f), 0, 0, 0));
    EXPECT_TRUE(isColour(screen.at(250.5f, 250.5f), 0, 0, 0));
    EXPECT_EQ(router->findTouchTarget({120, 120}), nullptr);
    EXPECT_EQ(router->findTouchTarget({250, 250}), nullptr);
    EXPECT_FALSE(layer->ccTouchBegan(CCTouch::create(3, 120, 120), nullptr));

    parent->setEnabled(true);
    EXPECT_EQ(router->findTouchTarget({120, 120}), child);
    EXPECT_EQ(router->findTouchTarget({250, 250}), parent);
}

TEST_F(UITouchPickTest, EmptyAreaIsUnclaimedAndReachesAnAllAtOnceLayerBehind) {
    UIWidget* widget = button(100, 100, {200, 200});
    UILayer* ui = UILayer::create();
    ui->addWidget(widget);
    AllAtOnceLayer* page = AllAtOnceLayer::create();
    CCLayer* root = CCLayer::create();
    root->addChild(page);
    root->addChild(ui);
    screen.show(root);
    EXPECT_EQ(ui->getRootWidget()->getSize(), CCSize(640, 960));

    tap({500, 800});
    EXPECT_EQ(page->began, 1);
    EXPECT_EQ(ui->getTouchRouter()->getSelectedWidgets()->count(), 0u);
    tap({200, 200});
    EXPECT_EQ(page->began, 1); // claimed by the widget
}

// --- later phases

TEST_F(UITouchPhaseTest, TouchThatLeavesItsWidgetStillDeliversMovedAndEndedToIt) {
    UIWidget* start = button(100, 100, {200, 200});
    UIWidget* other = button(100, 100, {400, 200});
    recorder->listen(start);
    recorder->listen(other);
    UILayer* layer = showLayer({start, other});
    gui::UITouchRouter* router = layer->getTouchRouter();
    HeadlessView::touchBegan({200, 200});
    EXPECT_TRUE(start->isFocused());
    HeadlessView::touchMoved({400, 200}); // over the other widget
    EXPECT_FALSE(start->isFocused());
    EXPECT_EQ(router->getMovedLocation(), CCPoint(400, 200));
    HeadlessView::touchEnded({400, 210});
    EXPECT_EQ(router->getEndLocation(), CCPoint(400, 210));
    EXPECT_EQ(recorder->of(start), (std::vector<int>{0, 1, 3}));
    EXPECT_TRUE(recorder->of(other).empty());
    EXPECT_EQ(router->getSelectedWidgets()->count(), 0u);

    HeadlessView::touchBegan({200, 200});
    HeadlessView::touchMoved({400, 200});
    HeadlessView::touchMoved({210, 200}); // back over it
    HeadlessView::touchEnded({210, 200});
    EXPECT_EQ(recorder->of(start), (std::vector<int>{0, 1, 3, 0, 1, 1, 2}));
}

TEST_F(UITouchPhaseTest, CancelledTouchReachesTheWidgetThatTookIt) {
    UIWidget* widget = button(100, 100, {200, 200});
    recorder->listen(widget);
    showLayer({widget});
    HeadlessView::touchBegan({200, 200});
    dispatcher()->touchCancelled(0, {200, 200});
    EXPECT_EQ(recorder->of(widget), (std::vector<int>{0, 3}));
    EXPECT_FALSE(widget->isFocused());
}

// Two fingers on two widgets: each finger's phases reach only its own widget.
TEST_F(UITouchPhaseTest, SecondFingerNeitherMovesNorEndsTheFirstFingersWidget) {
    UIWidget* left = button(100, 100, {150, 200});
    UIWidget* right = button(100, 100, {450, 200});
    recorder->listen(left);
    recorder->listen(right);
    showLayer({left, right});
    HeadlessView::touchBegan({150, 200}, 1);
    HeadlessView::touchBegan({450, 200}, 2);
    HeadlessView::touchMoved({460, 200}, 2);
    HeadlessView::touchEnded({150, 200}, 1);
    EXPECT_EQ(recorder->of(left), (std::vector<int>{0, 2}));
    EXPECT_EQ(recorder->of(right), (std::vector<int>{0, 1}));
    EXPECT_TRUE(right->isFocused());
    HeadlessView::touchEnded({460, 200}, 2);
    EXPECT_EQ(recorder->of(right), (std::vector<int>{0, 1, 2}));
}

// A handler that empties the screen while its touch is held.
class Clearer : public CCObject {
public:
    void onTouch(CCObject*, int code) {
        codes.push_back(code);
        if (code == 0) layer->clear();
    }
    UILayer* layer = nullptr;
    std::vector<int> codes;
};

TEST_F(UITouchPhaseTest, WidgetRemovedByItsOwnHandlerStillGetsTheRestOfItsTouch) {
    UIWidget* widget = button(100, 100, {200, 200});
    UILayer* layer = showLayer({widget});
    auto* clearer = new Clearer();
    clearer->layer = layer;
    widget->setTouchEventHandler(clearer, &Clearer::onTouch);
    HeadlessView::touchBegan({200, 200});
    EXPECT_EQ(layer->getRootWidget()->getChildren()->count(), 0u);
    HeadlessView::touchMoved({210, 200});
    HeadlessView::touchEnded({210, 200});
    EXPECT_EQ(clearer->codes, (std::vector<int>{0, 1, 2}));
    clearer->release();
}
