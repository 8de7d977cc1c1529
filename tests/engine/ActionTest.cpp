#include "engine/actions/CCActionManager.h"
#include "engine/actions/CCCallFunc.h"
#include "engine/actions/CCCallFuncN.h"
#include "engine/actions/CCDelayTime.h"
#include "engine/actions/CCEaseElasticOut.h"
#include "engine/actions/CCFadeTo.h"
#include "engine/actions/CCMoveBy.h"
#include "engine/actions/CCMoveTo.h"
#include "engine/actions/CCRepeatForever.h"
#include "engine/actions/CCRotateTo.h"
#include "engine/actions/CCScaleTo.h"
#include "engine/actions/CCSequence.h"
#include "engine/actions/CCSpawn.h"
#include "engine/actions/CCTintTo.h"
#include "engine/base/CCArray.h"
#include "engine/base/CCString.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCNodeRGBA.h"
#include "engine/nodes/CCScene.h"
#include "support/LeakCheck.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace engine;

namespace {

// The target of call actions: records which member was called, in order.
class Recorder : public CCObject {
public:
    void first() { calls.push_back("first"); }
    void second() { calls.push_back("second"); }
    void third() { calls.push_back("third"); }
    void gotNode(CCNode* node) {
        calls.push_back("node");
        lastNode = node;
    }
    // Takes the node out of the tree; it dies at once when nothing else holds it.
    void removeNode(CCNode* node) {
        calls.push_back("remove");
        node->removeFromParentAndCleanup(true);
    }
    std::vector<std::string> calls;
    CCNode* lastNode = nullptr;
};

// Counts its own destruction.
class MortalNode : public CCNode {
public:
    explicit MortalNode(bool* dead) : m_dead(dead) {}
    ~MortalNode() override { *m_dead = true; }
    static MortalNode* create(bool* dead) {
        auto* node = new MortalNode(dead);
        node->autorelease();
        return node;
    }

private:
    bool* m_dead;
};

class ActionTest : public ::testing::Test {
protected:
    void SetUp() override {
        director = CCDirector::sharedDirector();
        director->reset();
        leaks.start();
        recorder = new Recorder();
        scene = CCScene::create();
        director->runWithScene(scene);
        director->stepFrame(0); // the scene enters: its children run their actions
    }
    void TearDown() override {
        recorder->release();
        director->reset();
    }
    // A node in the running scene.
    CCNodeRGBA* runningNode() {
        CCNodeRGBA* node = CCNodeRGBA::create();
        scene->addChild(node);
        return node;
    }
    CCDirector* director = nullptr;
    CCScene* scene = nullptr;
    Recorder* recorder = nullptr;
    testsupport::LeakCheck leaks;
};

} // namespace

TEST_F(ActionTest, EachActionReachesItsEndValueThroughUpdate) {
    CCNodeRGBA* node = CCNodeRGBA::create();
    node->setPosition(10, 20);
    node->setOpacity(200);
    node->setColor(ccc3(0, 100, 200));

    CCAction* actions[] = {CCMoveBy::create(1, ccp(5, -5)), CCScaleTo::create(1, 3),
                           CCRotateTo::create(1, 90), CCFadeTo::create(1, 50),
                           CCTintTo::create(1, 255, 0, 100)};
    for (CCAction* action : actions)
        action->startWithTarget(node);
    for (CCAction* action : actions)
        action->update(0.5f);
    EXPECT_EQ(node->getPosition(), ccp(12.5f, 17.5f));
    EXPECT_FLOAT_EQ(node->getScaleX(), 2.0f);
    EXPECT_FLOAT_EQ(node->getRotation(), 45.0f);
    EXPECT_EQ(node->getOpacity(), 125);
    EXPECT_EQ(node->getColor(), ccc3(127, 50, 150));

    for (CCAction* action : actions)
        action->update(1.0f);
    EXPECT_EQ(node->getPosition(), ccp(15, 15));
    EXPECT_EQ(node->getScaleX(), 3.0f);
    EXPECT_EQ(node->getScaleY(), 3.0f);
    EXPECT_EQ(node->getRotation(), 90.0f);
    EXPECT_EQ(node->getOpacity(), 50);
    EXPECT_EQ(node->getColor(), ccc3(255, 0, 100));

    // MoveTo and the two-factor ScaleTo, seeking back to the start.
    CCMoveTo* moveTo = CCMoveTo::create(2, ccp(-7, 3));
    CCScaleTo* scaleTo = CCScaleTo::create(2, 0.5f, -1);
    moveTo->startWithTarget(node);
    scaleTo->startWithTarget(node);
    moveTo->update(1);
    scaleTo->update(1);
    EXPECT_EQ(node->getPosition(), ccp(-7, 3));
    EXPECT_EQ(node->getScaleX(), 0.5f);
    EXPECT_EQ(node->getScaleY(), -1.0f);
    moveTo->update(0);
    scaleTo->update(0);
    EXPECT_EQ(node->getPosition(), ccp(15, 15));
    EXPECT_EQ(node->getScaleX(), 3.0f);
}

TEST_F(ActionTest, RotateToTakesTheShortestWayRound) {
    struct Case {
        float from, to, middle, end;
    } cases[] = {
        {350, 10, 360, 370},  // forward across 360
        {10, 350, 0, -10},    // backward across 0
        {0, 270, -45, -90},   // 270 clockwise is 90 the other way
        {720, 90, 45, 90},    // whole turns of the start are dropped
        {-350, 0, -355, -360} // negative starts keep their sign
    };
    for (const Case& c : cases) {
        CCNode* node = CCNode::create();
        node->setRotation(c.from);
        CCRotateTo* rotate = CCRotateTo::create(1, c.to);
        rotate->startWithTarget(node);
        rotate->update(0.5f);
        EXPECT_FLOAT_EQ(node->getRotation(), c.middle) << c.from << " -> " << c.to;
        rotate->update(1);
        EXPECT_FLOAT_EQ(node->getRotation(), c.end) << c.from << " -> " << c.to;
    }
}

TEST_F(ActionTest, ColourActionsRunHarmlesslyOnPlainNodes) {
    CCNode* plain = CCNode::create();
    scene->addChild(plain);
    plain->runAction(CCFadeTo::create(0.1f, 0));
    plain->runAction(CCTintTo::create(0.1f, 1, 2, 3));
    director->stepFrame(0.1f);
    director->stepFrame(0.1f);
    EXPECT_EQ(plain->numberOfRunningActions(), 0u) << "they still run to their end";
}

TEST_F(ActionTest, ManagerStepsFromTheFirstFrameAfterStartAndDropsFinishedActions) {
    CCNode* node = runningNode();
    node->runAction(CCMoveBy::create(1.0f, ccp(100, 0)));
    director->stepFrame(0.25f); // the first step counts as time 0
    EXPECT_EQ(node->getPositionX(), 0.0f);
    director->stepFrame(0.5f);
    EXPECT_EQ(node->getPositionX(), 50.0f);
    EXPECT_EQ(node->numberOfRunningActions(), 1u);
    director->stepFrame(0.75f); // overshoot lands exactly on the end
    EXPECT_EQ(node->getPositionX(), 100.0f);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);
}

TEST_F(ActionTest, ZeroLengthActionsEndOnTheirFirstStep) {
    CCNode* node = runningNode();
    node->runAction(CCMoveBy::create(0, ccp(7, 0)));
    node->runAction(CCScaleTo::create(0, 4));
    director->stepFrame(0.0f);
    EXPECT_EQ(node->getPositionX(), 7.0f);
    EXPECT_EQ(node->getScale(), 4.0f);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);

    // Directly: one step with no time passed is the whole action.
    CCMoveTo* move = CCMoveTo::create(0, ccp(1, 1));
    move->startWithTarget(node);
    move->step(0);
    EXPECT_TRUE(move->isDone());
    EXPECT_EQ(node->getPosition(), ccp(1, 1));
}

TEST_F(ActionTest, ElasticOutEndsExactlyAndOvershootsWithTheDefaultPeriod) {
    CCNode* node = CCNode::create();
    CCEaseElasticOut* ease = CCEaseElasticOut::create(CCMoveBy::create(1, ccp(100, 0)));
    EXPECT_FLOAT_EQ(ease->getPeriod(), 0.3f);
    EXPECT_FLOAT_EQ(ease->getDuration(), 1.0f);
    ease->startWithTarget(node);
    ease->update(0);
    EXPECT_EQ(node->getPositionX(), 0.0f);
    float highest = 0;
    for (int i = 1; i < 100; ++i) {
        ease->update(i / 100.0f);
        highest = std::max(highest, node->getPositionX());
    }
    EXPECT_GT(highest, 110.0f) << "the default period swings well past the end";
    ease->update(1);
    EXPECT_EQ(node->getPositionX(), 100.0f);

    // The word highlight's long period slides without passing its end.
    node->setPosition(0, 0);
    CCEaseElasticOut* slow = CCEaseElasticOut::create(CCMoveBy::create(1, ccp(100, 0)), 9.25f);
    slow->startWithTarget(node);
    for (int i = 1; i < 100; ++i) {
        slow->update(i / 100.0f);
        EXPECT_GT(node->getPositionX(), 0.0f);
        EXPECT_LT(node->getPositionX(), 100.0f);
    }
    slow->update(1);
    EXPECT_EQ(node->getPositionX(), 100.0f);
}

TEST_F(ActionTest, ElasticOutOvershootKeepsOpacityInRangeAndBadPeriodFallsBack) {
    CCNodeRGBA* node = CCNodeRGBA::create();
    node->setOpacity(200);
    CCEaseElasticOut* ease = CCEaseElasticOut::create(CCFadeTo::create(1, 250));
    ease->startWithTarget(node);
    for (int i = 1; i < 100; ++i) {
        ease->update(i / 100.0f);
        EXPECT_GE(node->getOpacity(), 200) << "at " << i << ": a wrapped byte would fall far below";
    }
    ease->update(0.1f); // past the top of the first swing: 200 + 50 * 1.25
    EXPECT_EQ(node->getOpacity(), 255) << "clamped, not wrapped round";

    testsupport::LogCapture log;
    CCEaseElasticOut* zero = CCEaseElasticOut::create(CCDelayTime::create(1), 0);
    EXPECT_FLOAT_EQ(zero->getPeriod(), 0.3f);
    EXPECT_EQ(log.count("CCEaseElasticOut"), 1);
}

TEST_F(ActionTest, SequenceCallsEachZeroLengthStepOnceInOrder) {
    CCNode* node = runningNode();
    node->runAction(CCSequence::create(
        CCCallFunc::create(recorder, callfunc_selector(Recorder::first)), CCMoveBy::create(1, ccp(10, 0)),
        CCMoveBy::create(0, ccp(0, 5)), CCCallFunc::create(recorder, callfunc_selector(Recorder::second)),
        CCCallFunc::create(recorder, callfunc_selector(Recorder::third)), NULL));
    director->stepFrame(0.5f);
    EXPECT_EQ(recorder->calls, std::vector<std::string>{"first"}) << "a leading call runs at once";
    director->stepFrame(0.5f);
    EXPECT_EQ(node->getPosition(), ccp(5, 0));
    director->stepFrame(3.0f); // one frame passes the move and the three steps after it
    EXPECT_EQ(node->getPosition(), ccp(10, 5));
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"first", "second", "third"}));
    director->stepFrame(1.0f);
    EXPECT_EQ(recorder->calls.size(), 3u);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);

    // A sequence made only of zero-length steps is over in one frame.
    recorder->calls.clear();
    node->runAction(CCSequence::createWithTwoActions(
        CCCallFunc::create(recorder, callfunc_selector(Recorder::second)),
        CCCallFuncN::create(recorder, callfuncN_selector(Recorder::gotNode))));
    director->stepFrame(0.0f);
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"second", "node"}));
    EXPECT_EQ(recorder->lastNode, node);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);
}

TEST_F(ActionTest, SequenceSeeksBackAndForth) {
    CCNode* node = CCNode::create();
    CCSequence* sequence = CCSequence::create(
        CCMoveTo::create(1, ccp(100, 0)), CCCallFunc::create(recorder, callfunc_selector(Recorder::first)),
        CCMoveTo::create(1, ccp(100, 100)), NULL);
    ASSERT_NE(sequence, nullptr);
    EXPECT_FLOAT_EQ(sequence->getDuration(), 2.0f);
    sequence->startWithTarget(node);
    sequence->update(0.75f);
    EXPECT_EQ(node->getPosition(), ccp(100, 50));
    EXPECT_EQ(recorder->calls.size(), 1u);
    sequence->update(0.8f);
    EXPECT_EQ(recorder->calls.size(), 1u) << "a call is not repeated while the time stays past it";
    sequence->update(0.25f);
    EXPECT_EQ(node->getPosition(), ccp(50, 0)) << "the second move is undone, the first one seeks";
    sequence->update(1.0f);
    EXPECT_EQ(node->getPosition(), ccp(100, 100));
    EXPECT_EQ(recorder->calls.size(), 2u) << "passing the call again runs it again";
    sequence->update(0.0f);
    EXPECT_EQ(node->getPosition(), ccp(0, 0));
    sequence->update(0.5f);
    EXPECT_EQ(node->getPosition(), ccp(100, 0));
}

TEST_F(ActionTest, SequenceCreationForms) {
    CCArray* one = CCArray::create();
    one->addObject(CCMoveBy::create(0.5f, ccp(1, 1)));
    CCSequence* single = CCSequence::create(one);
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->getActionCount(), 1u);
    EXPECT_FLOAT_EQ(single->getDuration(), 0.5f);

    CCArray* three = CCArray::create(CCDelayTime::create(1), CCMoveBy::create(2, ccp(1, 0)),
                                     CCDelayTime::create(0.25f), NULL);
    CCSequence* fromArray = CCSequence::create(three);
    ASSERT_NE(fromArray, nullptr);
    EXPECT_FLOAT_EQ(fromArray->getDuration(), 3.25f);

    testsupport::LogCapture log;
    EXPECT_EQ(CCSequence::create(CCArray::create()), nullptr);
    EXPECT_EQ(CCSequence::create(static_cast<CCArray*>(nullptr)), nullptr);
    EXPECT_EQ(CCSequence::create(static_cast<CCFiniteTimeAction*>(nullptr), NULL), nullptr);
    EXPECT_EQ(CCSequence::createWithTwoActions(CCDelayTime::create(1), nullptr), nullptr);
    CCArray* mixed = CCArray::create(CCString::create("not an action"), CCDelayTime::create(1), NULL);
    CCSequence* skipped = CCSequence::create(mixed);
    ASSERT_NE(skipped, nullptr);
    EXPECT_EQ(skipped->getActionCount(), 1u);
    EXPECT_EQ(log.count("not an action"), 1);
}

TEST_F(ActionTest, SpawnRunsSideBySideAndShorterActionsFinishOnce) {
    CCNode* node = runningNode();
    CCSpawn* spawn = CCSpawn::create(
        CCMoveBy::create(1, ccp(100, 0)), CCScaleTo::create(0.5f, 2),
        CCSequence::create(CCDelayTime::create(0.25f),
                           CCCallFunc::create(recorder, callfunc_selector(Recorder::first)), NULL),
        CCCallFunc::create(recorder, callfunc_selector(Recorder::second)), NULL);
    EXPECT_FLOAT_EQ(spawn->getDuration(), 1.0f);
    CCRef<CCSpawn> keep(spawn); // seeked below after the manager is done with it
    node->runAction(spawn);
    director->stepFrame(0.1f);
    EXPECT_EQ(recorder->calls, std::vector<std::string>{"second"});
    director->stepFrame(0.25f);
    EXPECT_FLOAT_EQ(node->getScale(), 1.5f);
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"second", "first"}));
    director->stepFrame(0.5f);
    EXPECT_EQ(node->getScale(), 2.0f);
    EXPECT_FLOAT_EQ(node->getPositionX(), 75.0f);
    director->stepFrame(0.5f);
    EXPECT_EQ(node->getPositionX(), 100.0f);
    EXPECT_EQ(recorder->calls.size(), 2u);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);

    // Seeking back brings a finished shorter action back to its point.
    node->setScale(1);
    spawn->startWithTarget(node);
    spawn->update(1.0f);
    EXPECT_EQ(node->getScale(), 2.0f);
    EXPECT_EQ(node->getPositionX(), 200.0f);
    spawn->update(0.25f);
    EXPECT_FLOAT_EQ(node->getScale(), 1.5f);
    EXPECT_FLOAT_EQ(node->getPositionX(), 125.0f);
    EXPECT_EQ(recorder->calls.size(), 4u) << "each call once more for the second run";
}

TEST_F(ActionTest, SpawnFromArraysIncludingAnEmptyOne) {
    CCSpawn* two = CCSpawn::create(CCArray::create(CCDelayTime::create(2), CCDelayTime::create(3), NULL));
    ASSERT_NE(two, nullptr);
    EXPECT_FLOAT_EQ(two->getDuration(), 3.0f);

    CCSpawn* empty = CCSpawn::create(CCArray::create());
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->getActionCount(), 0u);
    EXPECT_EQ(empty->getDuration(), 0.0f);
    CCNode* node = runningNode();
    node->runAction(empty);
    director->stepFrame(0.1f);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);

    testsupport::LogCapture log;
    EXPECT_EQ(CCSpawn::create(static_cast<CCArray*>(nullptr)), nullptr);
    EXPECT_EQ(CCSpawn::createWithTwoActions(nullptr, CCDelayTime::create(1)), nullptr);
    EXPECT_EQ(log.lines().size(), 2u);
}

TEST_F(ActionTest, RepeatForeverCarriesTheOvershootAndNeverEnds) {
    CCNode* node = runningNode();
    node->runAction(CCRepeatForever::create(CCMoveBy::create(1, ccp(10, 0))));
    director->stepFrame(0.4f); // time 0
    for (int i = 0; i < 5; ++i)
        director->stepFrame(0.4f);
    EXPECT_FLOAT_EQ(node->getPositionX(), 20.0f) << "two whole rounds in 2.0 s";
    director->stepFrame(0.3f);
    EXPECT_FLOAT_EQ(node->getPositionX(), 23.0f);
    EXPECT_EQ(node->numberOfRunningActions(), 1u);

    // Rounds that fit in one long frame all happen.
    CCNode* caller = runningNode();
    caller->runAction(CCRepeatForever::create(CCSequence::create(
        CCDelayTime::create(0.25f), CCCallFunc::create(recorder, callfunc_selector(Recorder::first)), NULL)));
    director->stepFrame(0.0f);
    director->stepFrame(1.0f);
    EXPECT_EQ(recorder->calls.size(), 4u);
}

TEST_F(ActionTest, RepeatForeverOfZeroLengthRunsOncePerFrame) {
    CCNode* node = runningNode();
    node->runAction(CCRepeatForever::create(CCSpawn::create(CCArray::create())));
    node->runAction(CCRepeatForever::create(CCSequence::createWithTwoActions(
        CCMoveBy::create(0, ccp(1, 0)), CCCallFunc::create(recorder, callfunc_selector(Recorder::first)))));
    for (int i = 0; i < 3; ++i)
        director->stepFrame(0.5f);
    EXPECT_EQ(recorder->calls.size(), 3u);
    EXPECT_EQ(node->getPositionX(), 3.0f);
    EXPECT_EQ(node->numberOfRunningActions(), 2u);
}

TEST_F(ActionTest, ActionsWaitWhileTheNodeIsNotRunning) {
    CCRef<CCNode> node(CCNode::create()); // outlives the frames' pool drains
    node->runAction(CCMoveBy::create(0.5f, ccp(10, 0)));
    director->stepFrame(0.5f);
    director->stepFrame(0.5f);
    EXPECT_EQ(node->getPositionX(), 0.0f);
    scene->addChild(node.get()); // enters: its actions resume
    director->stepFrame(0.0f);
    director->stepFrame(0.25f);
    EXPECT_EQ(node->getPositionX(), 5.0f);
    node->removeFromParentAndCleanup(false); // leaves without cleanup: paused, kept
    director->stepFrame(0.25f);
    EXPECT_EQ(node->getPositionX(), 5.0f);
    EXPECT_EQ(node->numberOfRunningActions(), 1u);
    scene->addChild(node.get());
    director->stepFrame(0.25f);
    EXPECT_EQ(node->getPositionX(), 10.0f);
}

TEST_F(ActionTest, StopActionByObjectTagAndAll) {
    CCNode* node = runningNode();
    CCAction* move = node->runAction(CCMoveBy::create(1, ccp(10, 0)));
    CCAction* scale = CCScaleTo::create(1, 2);
    scale->setTag(7);
    node->runAction(scale);
    node->runAction(CCRotateTo::create(1, 90));
    EXPECT_EQ(node->getActionByTag(7), scale);
    director->stepFrame(0);
    node->stopAction(move);
    node->stopActionByTag(7);
    EXPECT_EQ(node->numberOfRunningActions(), 1u);
    EXPECT_EQ(node->getActionByTag(7), nullptr);
    director->stepFrame(0.5f);
    EXPECT_EQ(node->getPositionX(), 0.0f);
    EXPECT_EQ(node->getScale(), 1.0f);
    EXPECT_FLOAT_EQ(node->getRotation(), 45.0f);
    node->stopAllActions();
    director->stepFrame(0.5f);
    EXPECT_FLOAT_EQ(node->getRotation(), 45.0f);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);
}

// Each node's actions are found through the node alone: stopping, pausing
// and finishing one node's actions leaves every other node's running, also
// after enough removals to make the manager drop its removed entries.
TEST_F(ActionTest, ManyNodesStopPauseAndFinishOnlyTheirOwnActions) {
    std::vector<CCNode*> nodes;
    for (int i = 0; i < 100; ++i) {
        nodes.push_back(runningNode());
        nodes.back()->runAction(CCMoveBy::create(1, ccp(10, 0)));
        if (i % 10 == 0) nodes.back()->runAction(CCScaleTo::create(0.25f, 2));
    }
    director->stepFrame(0);
    for (int i = 0; i < 100; i += 2)
        nodes[i]->stopAllActions();
    CCRef<CCNode> paused(nodes[1]);
    nodes[1]->removeFromParentAndCleanup(false);
    director->stepFrame(0.5f);
    for (int i = 0; i < 100; ++i) {
        if (i == 1) continue;
        EXPECT_EQ(nodes[i]->getPositionX(), i % 2 ? 5.0f : 0.0f) << "node " << i;
        EXPECT_EQ(nodes[i]->numberOfRunningActions(), i % 2 ? 1u : 0u) << "node " << i;
    }
    EXPECT_EQ(paused->getPositionX(), 0.0f);
    EXPECT_EQ(paused->numberOfRunningActions(), 1u);
    scene->addChild(paused.get());
    director->stepFrame(0.5f);
    EXPECT_EQ(paused->getPositionX(), 5.0f);
    EXPECT_EQ(nodes[3]->getPositionX(), 10.0f);
    EXPECT_EQ(nodes[3]->numberOfRunningActions(), 0u);
}

TEST_F(ActionTest, NodeFreedWhileItsActionsRun) {
    bool dead = false;
    MortalNode* node = MortalNode::create(&dead);
    scene->addChild(node);
    node->runAction(CCRepeatForever::create(CCMoveBy::create(1, ccp(1, 0))));
    node->runAction(CCSequence::create(
        CCDelayTime::create(5), CCCallFunc::create(recorder, callfunc_selector(Recorder::first)), NULL));
    director->stepFrame(0.1f);
    node->removeFromParentAndCleanup(false); // no cleanup: the destructor must drop the actions
    EXPECT_TRUE(dead);
    director->stepFrame(10.0f);
    EXPECT_TRUE(recorder->calls.empty());
}

TEST_F(ActionTest, NodeRemovedByACallInsideItsOwnSequence) {
    // The call frees the node part-way through a frame in which further steps
    // of the same sequence would touch it: they must not.
    bool dead = false;
    MortalNode* node = MortalNode::create(&dead);
    scene->addChild(node);
    node->runAction(
        CCSequence::create(CCMoveBy::create(0.5f, ccp(10, 0)),
                           CCCallFuncN::create(recorder, callfuncN_selector(Recorder::removeNode)),
                           CCMoveBy::create(0, ccp(5, 0)),
                           CCCallFunc::create(recorder, callfunc_selector(Recorder::first)), NULL));
    bool otherDead = false;
    MortalNode* other = MortalNode::create(&otherDead);
    scene->addChild(other);
    other->runAction(CCSpawn::create(CCCallFuncN::create(recorder, callfuncN_selector(Recorder::removeNode)),
                                     CCScaleTo::create(0, 3), NULL));
    director->stepFrame(0);
    EXPECT_TRUE(otherDead);
    director->stepFrame(1.0f);
    EXPECT_TRUE(dead);
    EXPECT_EQ(recorder->calls, (std::vector<std::string>{"remove", "remove"}));
}
