#include "engine/base/CCSet.h"
#include "engine/base/CCTouch.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCScene.h"
#include "support/LeakCheck.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace engine;

namespace {

std::vector<std::string> g_events;

std::string where(const CCPoint& p) {
    return "@" + std::to_string(static_cast<int>(p.x)) + "," + std::to_string(static_cast<int>(p.y));
}

// A handler of either kind that journals what it receives. One-at-a-time
// handlers claim when `claims` is set; `onBegan` runs inside the delivery.
class Handler : public CCObject, public CCTouchDelegate {
public:
    static Handler* create(std::string name, bool claims = false) {
        auto* handler = new Handler(std::move(name), claims);
        handler->autorelease();
        return handler;
    }
    bool ccTouchBegan(CCTouch* touch, CCEvent*) override {
        g_events.push_back(m_name + ".began" + where(touch->getLocation()));
        if (onBegan) onBegan();
        return claims;
    }
    void ccTouchMoved(CCTouch* touch, CCEvent*) override {
        g_events.push_back(m_name + ".moved" + where(touch->getLocation()));
    }
    void ccTouchEnded(CCTouch*, CCEvent*) override { g_events.push_back(m_name + ".ended"); }
    void ccTouchCancelled(CCTouch*, CCEvent*) override { g_events.push_back(m_name + ".cancelled"); }
    void ccTouchesBegan(CCSet* touches, CCEvent*) override { all("began", touches); }
    void ccTouchesMoved(CCSet* touches, CCEvent*) override { all("moved", touches); }
    void ccTouchesEnded(CCSet* touches, CCEvent*) override { all("ended", touches); }
    void ccTouchesCancelled(CCSet* touches, CCEvent*) override { all("cancelled", touches); }

    std::function<void()> onBegan;
    bool claims;

private:
    Handler(std::string name, bool claimsTouches) : claims(claimsTouches), m_name(std::move(name)) {}
    void all(const char* phase, CCSet* touches) {
        auto* touch = static_cast<CCTouch*>(touches->anyObject());
        g_events.push_back(m_name + "." + phase + "[" + std::to_string(touches->count()) + "]" +
                           where(touch->getLocation()));
    }
    std::string m_name;
};

// A layer that claims every touch it is offered (one at a time) and can
// remove itself from the scene while a touch begins.
class TouchLayer : public CCLayer {
public:
    static TouchLayer* create(std::string name, bool* dead = nullptr) {
        auto* layer = new TouchLayer(std::move(name), dead);
        layer->init();
        layer->autorelease();
        return layer;
    }
    ~TouchLayer() override {
        if (m_dead) *m_dead = true;
    }
    bool ccTouchBegan(CCTouch*, CCEvent*) override {
        g_events.push_back(m_name + ".began");
        if (removeSelfOnBegan) removeFromParentAndCleanup(true);
        return true;
    }
    void ccTouchEnded(CCTouch*, CCEvent*) override { g_events.push_back(m_name + ".ended"); }
    void ccTouchesBegan(CCSet*, CCEvent*) override { g_events.push_back(m_name + ".touchesBegan"); }

    bool removeSelfOnBegan = false;

protected:
    TouchLayer(std::string name, bool* dead) : m_name(std::move(name)), m_dead(dead) {}
    std::string m_name;
    bool* m_dead;
};

class TouchDispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_events.clear();
        director = CCDirector::sharedDirector();
        director->reset();
        dispatcher = director->getTouchDispatcher();
        dispatcher->setDispatchEvents(true);
        leaks.start();
    }
    void TearDown() override {
        director->reset();
        dispatcher->setDispatchEvents(true);
    }
    void tap(int id, float x, float y) {
        dispatcher->touchBegan(id, ccp(x, y));
        dispatcher->touchEnded(id, ccp(x, y));
    }
    CCScene* runningScene() {
        CCScene* scene = CCScene::create();
        director->runWithScene(scene);
        director->stepFrame(0);
        return scene;
    }
    CCDirector* director = nullptr;
    CCTouchDispatcher* dispatcher = nullptr;
    testsupport::LeakCheck leaks;
};

} // namespace

TEST_F(TouchDispatchTest, OneAtATimeHandlersComeFirstByPriorityThenArrival) {
    dispatcher->addStandardDelegate(Handler::create("all"), -100);
    dispatcher->addTargetedDelegate(Handler::create("five"), 5, true);
    dispatcher->addTargetedDelegate(Handler::create("minus"), -1, true);
    dispatcher->addTargetedDelegate(Handler::create("five-later"), 5, true);
    dispatcher->touchBegan(0, ccp(10, 20));
    EXPECT_EQ(g_events, (std::vector<std::string>{"minus.began@10,20", "five.began@10,20",
                                                  "five-later.began@10,20", "all.began[1]@10,20"}));
}

TEST_F(TouchDispatchTest, ClaimedTouchGoesToItsClaimerOnly) {
    dispatcher->addTargetedDelegate(Handler::create("first"), 0, true);
    dispatcher->addTargetedDelegate(Handler::create("claimer", true), 1, true);
    dispatcher->addTargetedDelegate(Handler::create("after"), 2, true);
    dispatcher->addStandardDelegate(Handler::create("all"), 0);
    dispatcher->touchBegan(0, ccp(1, 1));
    dispatcher->touchMoved(0, ccp(2, 2));
    dispatcher->touchEnded(0, ccp(3, 3));
    dispatcher->touchBegan(1, ccp(4, 4));
    dispatcher->touchCancelled(1, ccp(5, 5));
    EXPECT_EQ(g_events, (std::vector<std::string>{"first.began@1,1", "claimer.began@1,1", "claimer.moved@2,2",
                                                  "claimer.ended", "first.began@4,4", "claimer.began@4,4",
                                                  "claimer.cancelled"}));
}

TEST_F(TouchDispatchTest, UnclaimedTouchesReachAllAtOnceHandlersAsASet) {
    dispatcher->addTargetedDelegate(Handler::create("declines"), 0, true);
    dispatcher->addStandardDelegate(Handler::create("b"), 3);
    dispatcher->addStandardDelegate(Handler::create("a"), 1);
    dispatcher->touchBegan(0, ccp(100, 900));
    dispatcher->touchMoved(0, ccp(150, 900));
    dispatcher->touchEnded(0, ccp(150, 900));
    EXPECT_EQ(g_events,
              (std::vector<std::string>{"declines.began@100,900", "a.began[1]@100,900", "b.began[1]@100,900",
                                        "a.moved[1]@150,900", "b.moved[1]@150,900", "a.ended[1]@150,900",
                                        "b.ended[1]@150,900"}));
    g_events.clear();
    dispatcher->touchMoved(0, ccp(1, 1)); // already over: ignored
    dispatcher->touchEnded(7, ccp(1, 1)); // never began: ignored
    EXPECT_TRUE(g_events.empty());
}

TEST_F(TouchDispatchTest, SwallowingStopsBeganButSharedClaimsAllGetMoves) {
    dispatcher->addTargetedDelegate(Handler::create("shares", true), 0, false);
    dispatcher->addTargetedDelegate(Handler::create("swallows", true), 1, true);
    dispatcher->addTargetedDelegate(Handler::create("never", true), 2, true);
    dispatcher->touchBegan(0, ccp(0, 0));
    dispatcher->touchMoved(0, ccp(1, 0));
    EXPECT_EQ(g_events, (std::vector<std::string>{"shares.began@0,0", "swallows.began@0,0",
                                                  "shares.moved@1,0", "swallows.moved@1,0"}));
}

TEST_F(TouchDispatchTest, TouchStaysWithItsClaimerAfterTheClaimerIsRemoved) {
    Handler* claimer = Handler::create("claimer", true);
    dispatcher->addTargetedDelegate(claimer, 0, true);
    dispatcher->addStandardDelegate(Handler::create("all"), 0);
    dispatcher->touchBegan(0, ccp(0, 0));
    dispatcher->removeDelegate(claimer);
    dispatcher->touchMoved(0, ccp(80, 0)); // would look like a swipe to the page
    dispatcher->touchEnded(0, ccp(80, 0));
    EXPECT_EQ(g_events, std::vector<std::string>{"claimer.began@0,0"});
    tap(1, 5, 5);
    EXPECT_EQ(g_events.back(), "all.ended[1]@5,5") << "later touches are unaffected";
}

TEST_F(TouchDispatchTest, HandlersAddedOrRemovedDuringDeliveryAreSafe) {
    Handler* self = Handler::create("self");
    Handler* victim = Handler::create("victim");
    Handler* adder = Handler::create("adder");
    dispatcher->addTargetedDelegate(self, 0, true);
    dispatcher->addTargetedDelegate(adder, 1, true);
    dispatcher->addTargetedDelegate(victim, 2, true);
    dispatcher->addStandardDelegate(Handler::create("all"), 0);
    self->onBegan = [&] { dispatcher->removeDelegate(self); };
    bool added = false;
    adder->onBegan = [&] {
        if (added) return;
        added = true;
        dispatcher->removeDelegate(victim);
        dispatcher->addTargetedDelegate(Handler::create("newcomer"), -5, true);
    };
    // The handlers are held by the dispatcher alone from here on.
    CCDirector::sharedDirector()->stepFrame(0);
    dispatcher->touchBegan(0, ccp(0, 0));
    EXPECT_EQ(g_events, (std::vector<std::string>{"self.began@0,0", "adder.began@0,0", "all.began[1]@0,0"}));
    g_events.clear();
    dispatcher->touchEnded(0, ccp(0, 0));
    dispatcher->touchBegan(1, ccp(0, 0));
    EXPECT_EQ(g_events, (std::vector<std::string>{"all.ended[1]@0,0", "newcomer.began@0,0", "adder.began@0,0",
                                                  "all.began[1]@0,0"}));
    EXPECT_FALSE(dispatcher->hasDelegate(self));
    EXPECT_FALSE(dispatcher->hasDelegate(victim));
}

TEST_F(TouchDispatchTest, LayerRemovedAndFreedByItsOwnTouch) {
    CCScene* scene = runningScene();
    bool dead = false;
    TouchLayer* layer = TouchLayer::create("layer", &dead);
    layer->setTouchMode(kCCTouchesOneByOne);
    layer->setTouchEnabled(true);
    layer->removeSelfOnBegan = true;
    scene->addChild(layer);
    TouchLayer* below = TouchLayer::create("below");
    below->setTouchEnabled(true); // all at once
    scene->addChild(below);
    director->stepFrame(0); // only the scene and the dispatcher hold the layer now
    dispatcher->touchBegan(0, ccp(1, 1));
    EXPECT_TRUE(dead) << "freed once the delivery is over";
    dispatcher->touchEnded(0, ccp(1, 1));
    EXPECT_EQ(g_events, std::vector<std::string>{"layer.began"}) << "the claimed touch went nowhere else";
    tap(1, 1, 1);
    EXPECT_EQ(g_events.back(), "below.touchesBegan");
}

TEST_F(TouchDispatchTest, LayerRegistrationFollowsEnterExitAndSettings) {
    CCScene* scene = runningScene();
    TouchLayer* layer = TouchLayer::create("layer");
    layer->setTouchEnabled(true);
    EXPECT_FALSE(dispatcher->hasDelegate(layer)) << "not running yet";
    scene->addChild(layer);
    EXPECT_TRUE(dispatcher->hasDelegate(layer));
    tap(0, 1, 1);
    EXPECT_EQ(g_events, std::vector<std::string>{"layer.touchesBegan"});

    g_events.clear();
    layer->setTouchMode(kCCTouchesOneByOne);
    tap(0, 1, 1);
    EXPECT_EQ(g_events, (std::vector<std::string>{"layer.began", "layer.ended"}));

    // Priority: a handler at -1 is asked before the layer until the layer moves to -2.
    g_events.clear();
    dispatcher->addTargetedDelegate(Handler::create("other"), -1, true);
    dispatcher->touchBegan(0, ccp(1, 1));
    layer->setTouchPriority(-2);
    dispatcher->touchBegan(1, ccp(2, 2));
    EXPECT_EQ(g_events, (std::vector<std::string>{"other.began@1,1", "layer.began", "layer.began"}));

    layer->setTouchEnabled(false);
    EXPECT_FALSE(dispatcher->hasDelegate(layer));
    layer->setTouchEnabled(true);
    EXPECT_TRUE(dispatcher->hasDelegate(layer));
    layer->retain();
    layer->removeFromParentAndCleanup(true);
    EXPECT_FALSE(dispatcher->hasDelegate(layer)) << "onExit unregisters";
    EXPECT_TRUE(layer->isTouchEnabled()) << "and re-entering registers again";
    scene->addChild(layer);
    layer->release();
    EXPECT_TRUE(dispatcher->hasDelegate(layer));
}

TEST_F(TouchDispatchTest, LayerWithItsOwnRegistrationIsUnregisteredOnExit) {
    // Registers itself the way games often do, without the base class's version.
    class OwnRegistration : public TouchLayer {
    public:
        OwnRegistration(bool* dead) : TouchLayer("own", dead) {}
        void registerWithTouchDispatcher() override {
            CCDirector::sharedDirector()->getTouchDispatcher()->addTargetedDelegate(this, -5, true);
        }
    };
    CCScene* scene = runningScene();
    bool dead = false;
    auto* layer = new OwnRegistration(&dead);
    layer->init();
    layer->autorelease();
    layer->setTouchEnabled(true);
    scene->addChild(layer);
    tap(0, 1, 1);
    EXPECT_EQ(g_events, (std::vector<std::string>{"own.began", "own.ended"}));

    g_events.clear();
    director->replaceScene(CCScene::create());
    director->stepFrame(0);
    director->stepFrame(0);
    EXPECT_TRUE(dead) << "nothing keeps the layer of the old scene";
    tap(0, 1, 1);
    EXPECT_TRUE(g_events.empty());
}

TEST_F(TouchDispatchTest, SwitchingDispatchOffCancelsTouchesInProgress) {
    Handler* claimer = Handler::create("claimer", true);
    dispatcher->addTargetedDelegate(claimer, 0, true);
    dispatcher->addStandardDelegate(Handler::create("all"), 0);
    dispatcher->touchBegan(0, ccp(1, 1));
    claimer->claims = false;
    dispatcher->touchBegan(1, ccp(2, 2));
    g_events.clear();
    dispatcher->setDispatchEvents(false);
    EXPECT_FALSE(dispatcher->isDispatchEvents());
    EXPECT_EQ(g_events, (std::vector<std::string>{"claimer.cancelled", "all.cancelled[1]@2,2"}));
    dispatcher->touchMoved(0, ccp(2, 2));
    dispatcher->touchEnded(1, ccp(2, 2));
    tap(2, 3, 3);
    EXPECT_EQ(g_events.size(), 2u) << "nothing is delivered while off";
    dispatcher->setDispatchEvents(true);
    dispatcher->touchMoved(2, ccp(2, 2)); // began while off: unknown
    EXPECT_EQ(g_events.size(), 2u);
}

TEST_F(TouchDispatchTest, HandlerThatSwitchesDispatchOffWhileATouchBegins) {
    // A button that starts a transition from its press: the touch is
    // cancelled inside its own began, and no later handler may see it.
    Handler* starter = Handler::create("starter"); // declines: the delivery would go on
    starter->onBegan = [&] { dispatcher->setDispatchEvents(false); };
    dispatcher->addTargetedDelegate(starter, 0, true);
    dispatcher->addTargetedDelegate(Handler::create("later", true), 1, true);
    dispatcher->addStandardDelegate(Handler::create("all"), 0);
    dispatcher->touchBegan(0, ccp(1, 1));
    dispatcher->touchEnded(0, ccp(1, 1));
    EXPECT_EQ(g_events, std::vector<std::string>{"starter.began@1,1"});
    dispatcher->setDispatchEvents(true);
    starter->onBegan = nullptr;
    g_events.clear();
    tap(0, 2, 2);
    EXPECT_EQ(g_events, (std::vector<std::string>{"starter.began@2,2", "later.began@2,2", "later.ended"}));
}
