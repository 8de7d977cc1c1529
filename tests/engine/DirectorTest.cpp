#include "engine/base/CCAutoreleasePool.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCScheduler.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCScene.h"
#include "support/LeakCheck.h"
#include "support/RecordingScene.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace engine;

namespace {

std::vector<std::string>& g_calls = testsupport::sceneJournal();
using testsupport::RecordingScene;

class DirectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        director = CCDirector::sharedDirector();
        director->reset();
        leaks.start();
    }
    void TearDown() override { director->reset(); }
    CCDirector* director = nullptr;
    testsupport::LeakCheck leaks;
};

} // namespace

TEST_F(DirectorTest, ReplaceSceneOrderAndOldSceneFreed) {
    director->runWithScene(RecordingScene::create("a"));
    EXPECT_EQ(director->getRunningScene(), nullptr); // takes over at the next frame
    director->stepFrame(1.0f / 60);
    ASSERT_NE(director->getRunningScene(), nullptr);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a.onEnter", "a.onEnterTransitionDidFinish"}));

    g_calls.clear();
    director->replaceScene(RecordingScene::create("b"));
    EXPECT_TRUE(g_calls.empty()) << "nothing happens before the next frame";
    director->stepFrame(1.0f / 60);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a.onExitTransitionDidStart", "a.onExit", "a.cleanup",
                                                 "b.onEnter", "b.onEnterTransitionDidFinish", "a.deleted"}));
}

TEST_F(DirectorTest, RunWithSceneOnlyOnce) {
    testsupport::LogCapture log;
    director->runWithScene(RecordingScene::create("a"));
    director->runWithScene(RecordingScene::create("b"));
    director->stepFrame(0.01f);
    EXPECT_EQ(log.count("already running"), 1);
    EXPECT_EQ(g_calls.front(), "a.onEnter");
    EXPECT_EQ(std::count(g_calls.begin(), g_calls.end(), "b.deleted"), 1);
}

TEST_F(DirectorTest, SceneReplacedBeforeItRanIsDroppedUnseen) {
    director->runWithScene(RecordingScene::create("a"));
    director->stepFrame(0.01f);
    director->replaceScene(RecordingScene::create("b"));
    director->replaceScene(RecordingScene::create("c"));
    g_calls.clear();
    director->stepFrame(0.01f);
    EXPECT_EQ(std::count(g_calls.begin(), g_calls.end(), "b.onEnter"), 0);
    EXPECT_EQ(std::count(g_calls.begin(), g_calls.end(), "b.deleted"), 1);
    EXPECT_EQ(std::count(g_calls.begin(), g_calls.end(), "c.onEnter"), 1);
}

TEST_F(DirectorTest, StoppedAnimationRunsNoTimersAndEndExitsScene) {
    auto* scene = RecordingScene::create("a");
    scene->schedule(schedule_selector(RecordingScene::tick), 0);
    director->runWithScene(scene);
    director->stepFrame(0.01f); // enters; the timer was paused until now
    director->stepFrame(0.01f);
    int ticks = scene->ticks;
    EXPECT_GE(ticks, 1);
    director->stopAnimation();
    director->stepFrame(0.01f);
    EXPECT_EQ(scene->ticks, ticks);
    director->startAnimation();
    director->stepFrame(0.01f);
    EXPECT_EQ(scene->ticks, ticks + 1);

    g_calls.clear();
    director->end();
    EXPECT_FALSE(director->isEnded());
    director->stepFrame(0.01f);
    EXPECT_TRUE(director->isEnded());
    EXPECT_EQ(director->getRunningScene(), nullptr);
    EXPECT_EQ(g_calls.back(), "a.deleted");
}

TEST_F(DirectorTest, PoolDrainedEveryFrame) {
    director->runWithScene(RecordingScene::create("a"));
    CCNode::create();
    EXPECT_GT(CCAutoreleasePool::sharedPool()->pendingCount(), 0u);
    director->stepFrame(0.01f);
    EXPECT_EQ(CCAutoreleasePool::sharedPool()->pendingCount(), 0u);
}

TEST_F(DirectorTest, StepFrameUsesTheGivenTimeStep) {
    director->runWithScene(RecordingScene::create("a"));
    director->stepFrame(0.25f);
    EXPECT_FLOAT_EQ(director->getDeltaTime(), 0.25f);
    EXPECT_EQ(director->getTotalFrames(), 1u);
}
