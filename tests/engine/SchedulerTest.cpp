#include "engine/director/CCDirector.h"
#include "engine/director/CCScheduler.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCClock.h"
#include "support/LeakCheck.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace engine;

namespace {

// A node whose timers record the virtual time of each call and then run
// whatever the test asks of them.
class TimerNode : public CCNode {
public:
    static TimerNode* create(std::string name, std::vector<std::string>* journal, bool* dead = nullptr) {
        auto* node = new TimerNode(std::move(name), journal, dead);
        node->autorelease();
        return node;
    }
    ~TimerNode() override {
        if (m_dead) *m_dead = true;
    }
    void tick(float elapsed) {
        times.push_back(CCClock::now());
        elapsedSeen.push_back(elapsed);
        m_journal->push_back(m_name + ".tick");
        if (onTick) onTick();
    }
    void other(float) {
        m_journal->push_back(m_name + ".other");
        if (onOther) onOther();
    }
    void update(float dt) override {
        m_journal->push_back(m_name + ".update");
        lastDt = dt;
        if (onUpdate) onUpdate();
    }

    std::vector<double> times;
    std::vector<float> elapsedSeen;
    std::function<void()> onTick, onOther, onUpdate;
    float lastDt = 0;

private:
    TimerNode(std::string name, std::vector<std::string>* journal, bool* dead)
        : m_name(std::move(name)), m_journal(journal), m_dead(dead) {}
    std::string m_name;
    std::vector<std::string>* m_journal;
    bool* m_dead;
};

constexpr float kStep = 0.125f; // exact in binary: no frame is lost to rounding

// Call times agree to well under a frame.
void expectTimes(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-6) << "call " << i;
}

class SchedulerTest : public ::testing::Test {
protected:
    void SetUp() override {
        wasVirtual = CCClock::isVirtual();
        CCClock::setVirtual(true);
        director = CCDirector::sharedDirector();
        director->reset();
        leaks.start();
        scene = CCScene::create();
        director->runWithScene(scene);
        director->stepFrame(0);
        start = CCClock::now();
    }
    void TearDown() override {
        director->reset();
        CCClock::setVirtual(wasVirtual);
    }
    TimerNode* node(const std::string& name, bool* dead = nullptr) {
        TimerNode* n = TimerNode::create(name, &journal, dead);
        scene->addChild(n);
        return n;
    }
    void run(float seconds) {
        for (int i = 0, n = static_cast<int>(seconds / kStep + 0.5f); i < n; ++i)
            director->stepFrame(kStep);
    }
    // Times of the calls relative to the test's start.
    std::vector<double> relative(const std::vector<double>& times) const {
        std::vector<double> out;
        for (double t : times)
            out.push_back(t - start);
        return out;
    }

    CCDirector* director = nullptr;
    CCScene* scene = nullptr;
    std::vector<std::string> journal;
    double start = 0;
    testsupport::LeakCheck leaks;
    bool wasVirtual = false;
};

} // namespace

TEST_F(SchedulerTest, IntervalTimersFireOnTheVirtualClock) {
    TimerNode* a = node("a");
    a->schedule(schedule_selector(TimerNode::tick), 0.5f);
    TimerNode* everyFrame = node("f");
    everyFrame->schedule(schedule_selector(TimerNode::tick));
    run(1.5f);
    expectTimes(relative(a->times), std::vector<double>{0.5, 1.0, 1.5});
    EXPECT_EQ(a->elapsedSeen.front(), 0.5f) << "the callback gets the time since its last call";
    EXPECT_EQ(everyFrame->times.size(), 12u);
    EXPECT_TRUE(a->isScheduled(schedule_selector(TimerNode::tick)));
    a->unschedule(schedule_selector(TimerNode::tick));
    EXPECT_FALSE(a->isScheduled(schedule_selector(TimerNode::tick)));
    run(1.0f);
    EXPECT_EQ(a->times.size(), 3u);
}

TEST_F(SchedulerTest, RepeatAndDelay) {
    TimerNode* a = node("a");
    a->schedule(schedule_selector(TimerNode::tick), 0.25f, 2, 1.0f); // 3 calls, the first after 1 s
    TimerNode* once = node("once");
    once->scheduleOnce(schedule_selector(TimerNode::tick), 0.375f);
    run(3.0f);
    expectTimes(relative(a->times), std::vector<double>{1.0, 1.25, 1.5});
    expectTimes(relative(once->times), std::vector<double>{0.375});
    EXPECT_FALSE(a->isScheduled(schedule_selector(TimerNode::tick)));
    EXPECT_FALSE(once->isScheduled(schedule_selector(TimerNode::tick)));
}

TEST_F(SchedulerTest, PausedTargetsWaitAndKeepTheirElapsedTime) {
    TimerNode* a = node("a");
    a->schedule(schedule_selector(TimerNode::tick), 0.5f);
    a->scheduleUpdate();
    run(0.25f);
    a->pauseSchedulerAndActions();
    journal.clear();
    run(2.0f);
    EXPECT_TRUE(journal.empty()) << "no timer and no update while paused";
    a->resumeSchedulerAndActions();
    run(0.25f);
    expectTimes(relative(a->times), {2.5}); // 0.25 s before the pause + 0.25 s after

    // A node that is not in the running scene starts paused; entering resumes it.
    CCRef<TimerNode> outside(TimerNode::create("outside", &journal));
    outside->schedule(schedule_selector(TimerNode::tick), 0);
    run(0.5f);
    EXPECT_TRUE(outside->times.empty());
    scene->addChild(outside.get());
    run(0.25f);
    EXPECT_EQ(outside->times.size(), 2u);
}

TEST_F(SchedulerTest, UpdatesRunByPriorityThenArrival) {
    node("late")->scheduleUpdateWithPriority(5);
    node("zero1")->scheduleUpdateWithPriority(0);
    node("first")->scheduleUpdateWithPriority(-3);
    TimerNode* zero2 = node("zero2");
    zero2->scheduleUpdate();
    zero2->scheduleUpdateWithPriority(-10); // already scheduled: the first priority stays
    director->stepFrame(kStep);
    EXPECT_EQ(journal,
              (std::vector<std::string>{"first.update", "zero1.update", "zero2.update", "late.update"}));
    EXPECT_EQ(zero2->lastDt, kStep);

    // An update unscheduled during a tick, before its turn, does not run.
    journal.clear();
    TimerNode* first = static_cast<TimerNode*>(scene->getChildren()[2]);
    first->onUpdate = [&] { zero2->unscheduleUpdate(); };
    director->stepFrame(kStep);
    EXPECT_EQ(journal, (std::vector<std::string>{"first.update", "zero1.update", "late.update"}));
}

TEST_F(SchedulerTest, CallbackReschedulesItselfWithAnotherInterval) {
    // The auto-play pattern: every call unschedules itself and schedules
    // itself again, first at 0.25 s, then at 0.5 s.
    TimerNode* a = node("a");
    SEL_SCHEDULE tick = schedule_selector(TimerNode::tick);
    a->onTick = [&] {
        a->unschedule(tick);
        a->schedule(tick, 0.5f);
    };
    a->schedule(tick, 0.25f);
    run(2.0f);
    expectTimes(relative(a->times), std::vector<double>{0.25, 0.75, 1.25, 1.75});
    EXPECT_EQ(director->getScheduler()->timerCount(), 1u);

    // Without unscheduling first, scheduling again only changes the interval.
    TimerNode* b = node("b");
    b->onTick = [&] { b->schedule(tick, 1.0f); };
    b->schedule(tick, 0.25f);
    double bStart = CCClock::now() - start;
    run(2.5f);
    ASSERT_EQ(b->times.size(), 3u);
    EXPECT_NEAR(b->times[0] - start - bStart, 0.25, 1e-6);
    EXPECT_NEAR(b->times[1] - b->times[0], 1.0, 1e-6);
}

TEST_F(SchedulerTest, CallbackUnschedulesATimerDueInTheSameTick) {
    TimerNode* a = node("a");
    TimerNode* b = node("b");
    a->schedule(schedule_selector(TimerNode::tick), 0.25f);
    b->schedule(schedule_selector(TimerNode::tick), 0.25f);
    a->schedule(schedule_selector(TimerNode::other), 0.25f);
    a->onTick = [&] {
        b->unschedule(schedule_selector(TimerNode::tick));
        a->unschedule(schedule_selector(TimerNode::other));
    };
    run(1.0f);
    EXPECT_TRUE(b->times.empty());
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "a.other"), 0);
    EXPECT_EQ(a->times.size(), 4u);
}

TEST_F(SchedulerTest, TimersAddedDuringATickStartOnTheNextOne) {
    TimerNode* a = node("a");
    TimerNode* b = node("b");
    a->onTick = [&] {
        if (a->times.size() == 1) b->schedule(schedule_selector(TimerNode::tick), 0);
    };
    a->schedule(schedule_selector(TimerNode::tick), 0.25f);
    run(0.25f);
    EXPECT_TRUE(b->times.empty()) << "a timer added during a tick waits for the next";
    run(0.25f);
    EXPECT_EQ(b->times.size(), 2u);
}

TEST_F(SchedulerTest, TargetsDestroyedFromInsideCallbacks) {
    bool aDead = false, bDead = false;
    TimerNode* a = node("a", &aDead);
    TimerNode* b = node("b", &bDead);
    a->schedule(schedule_selector(TimerNode::tick), 0.25f);
    a->schedule(schedule_selector(TimerNode::other), 0.25f);
    b->schedule(schedule_selector(TimerNode::tick), 0.25f);
    b->scheduleUpdate();
    // a's first timer frees b (due later in the same tick) and then a itself.
    a->onTick = [&] {
        b->removeFromParentAndCleanup(false);
        a->removeFromParentAndCleanup(false);
    };
    run(0.125f);
    journal.clear();
    run(0.125f);
    EXPECT_TRUE(aDead);
    EXPECT_TRUE(bDead);
    EXPECT_EQ(journal, (std::vector<std::string>{"b.update", "a.tick"}));
    EXPECT_EQ(director->getScheduler()->timerCount(), 0u);
    EXPECT_FALSE(director->getScheduler()->isUpdateScheduled(b));
    run(0.5f);
    EXPECT_EQ(journal.size(), 2u);
}

TEST_F(SchedulerTest, UnscheduleAllSelectorsStopsTimersAndUpdate) {
    TimerNode* a = node("a");
    a->schedule(schedule_selector(TimerNode::tick), 0.25f);
    a->schedule(schedule_selector(TimerNode::other), 1.0f);
    a->scheduleUpdate();
    // From inside its own update, as a page does when it turns.
    a->onUpdate = [&] { a->unscheduleAllSelectors(); };
    run(1.0f);
    EXPECT_EQ(journal, (std::vector<std::string>{"a.update"}));
    EXPECT_EQ(director->getScheduler()->timerCount(), 0u);
}

TEST_F(SchedulerTest, ManyTargetsUnscheduledOrPausedLeaveTheRestInOrder) {
    // Enough removals outside a tick that the lists are compacted in between.
    std::vector<TimerNode*> nodes;
    for (int i = 0; i < 200; ++i) {
        TimerNode* n = node("n" + std::to_string(i));
        n->scheduleUpdateWithPriority(i % 2 ? 1 : -1);
        n->schedule(schedule_selector(TimerNode::tick), 0);
        nodes.push_back(n);
    }
    for (int i = 0; i < 200; ++i)
        if (i % 4) nodes[i]->unscheduleAllSelectors();
    nodes[0]->pauseSchedulerAndActions();
    nodes[4]->unscheduleUpdate();
    TimerNode* middle = node("middle");
    middle->scheduleUpdateWithPriority(0);
    EXPECT_EQ(director->getScheduler()->timerCount(), 50u);
    EXPECT_TRUE(nodes[0]->isScheduled(schedule_selector(TimerNode::tick)));
    EXPECT_FALSE(nodes[1]->isScheduled(schedule_selector(TimerNode::tick)));

    journal.clear();
    director->stepFrame(kStep);
    std::vector<std::string> expected;
    for (int i = 8; i < 200; i += 4)
        expected.push_back("n" + std::to_string(i) + ".update");
    expected.push_back("middle.update");
    for (int i = 4; i < 200; i += 4)
        expected.push_back("n" + std::to_string(i) + ".tick");
    EXPECT_EQ(journal, expected);

    nodes[0]->resumeSchedulerAndActions();
    EXPECT_FALSE(director->getScheduler()->isTargetPaused(nodes[0]));
    journal.clear();
    director->stepFrame(kStep);
    EXPECT_EQ(journal.front(), "n0.update");
}
