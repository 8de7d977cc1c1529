// Drawing only on change: a still scene is probed and not drawn, every kind
// of visible change is drawn in the frame it happens in, an action keeps the
// frames coming (drawn only when it shows), and a loop that slept keeps its
// timers on time.
#include "support/PaintedImage.h"
#include "support/SceneTest.h"

#include "engine/actions/CCDelayTime.h"
#include "engine/actions/CCMoveBy.h"
#include "engine/director/CCScheduler.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCSprite.h"
#include "engine/platform/CCClock.h"
#include "engine/render/CCTexture2D.h"

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace engine;
using namespace testsupport;

namespace {

constexpr float kFrame = 1.0f / 60;

class DrawOnChangeTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        std::string red = writePng(resources(), "red.png", 40, 40, 0xffff0000, 0xffff0000);
        std::string blue = writePng(resources(), "blue.png", 40, 40, 0xff0000ff, 0xff0000ff);
        m_layer = CCLayerColor::create({255, 255, 255, 255});
        m_sprite = CCSprite::create("red.png");
        m_sprite->setPosition(100, 100);
        m_layer->addChild(m_sprite);
        m_blue = CCSprite::create("blue.png")->getTexture();
        m_blue->retain();
        director()->setDrawOnlyOnChange(true);
        show(m_layer);
    }
    void TearDown() override {
        m_blue->release();
        SceneTest::TearDown(); // the director's reset turns drawing on change off
    }
    unsigned int presented() const { return director()->getPresentedFrames(); }
    // Frames until the loop would sleep; false when it never settles.
    bool settle() {
        for (int i = 0; i < 10; ++i) {
            if (!director()->wantsNextFrame()) return true;
            drawFrame();
        }
        return false;
    }

    CCLayerColor* m_layer = nullptr;
    CCSprite* m_sprite = nullptr;
    CCTexture2D* m_blue = nullptr;
};

struct Change {
    std::string what;
    std::function<void()> make;
};

} // namespace

TEST_F(DrawOnChangeTest, AStillSceneIsProbedButNotDrawn) {
    ASSERT_TRUE(settle());
    unsigned int drawn = presented(), run = director()->getTotalFrames();
    for (int i = 0; i < 5; ++i)
        drawFrame();
    EXPECT_EQ(presented(), drawn);
    EXPECT_EQ(director()->getTotalFrames(), run + 5) << "frames still run: timers and actions";
    EXPECT_FALSE(director()->wantsNextFrame());
    EXPECT_TRUE(isColour(at(100, 100), 255, 0, 0)) << "the last frame stays on screen";
}

TEST_F(DrawOnChangeTest, EachVisibleChangeIsDrawnInTheFrameItHappensIn) {
    CCRef<CCSprite> other(CCSprite::create("blue.png"));
    other->setPosition(300, 300);
    const std::vector<Change> changes = {
        {"position", [&] { m_sprite->setPosition(200, 100); }},
        {"scale", [&] { m_sprite->setScale(2.0f); }},
        {"rotation", [&] { m_sprite->setRotation(30); }},
        {"texture", [&] { m_sprite->setTexture(m_blue); }},
        {"colour",
         [&] {
             m_sprite->setColor({0, 255, 0});
         }},
        {"opacity", [&] { m_sprite->setOpacity(128); }},
        {"visibility", [&] { m_sprite->setVisible(false); }},
        {"visibility back", [&] { m_sprite->setVisible(true); }},
        {"child added", [&] { m_layer->addChild(other.get()); }},
        {"z-order: behind the layer", [&] { m_layer->reorderChild(other.get(), -1); }},
        {"z-order: in front again", [&] { m_layer->reorderChild(other.get(), 1); }},
        {"child removed", [&] { other->removeFromParent(); }},
        {"layer colour",
         [&] {
             m_layer->setColor({10, 20, 30});
         }},
    };
    for (const Change& change : changes) {
        ASSERT_TRUE(settle()) << change.what;
        std::vector<std::uint32_t> before = screen.pixels();
        unsigned int drawn = presented();
        change.make();
        drawFrame();
        EXPECT_EQ(presented(), drawn + 1) << change.what << " was not drawn at once";
        EXPECT_NE(screen.pixels(), before) << change.what << " did not show";
        EXPECT_TRUE(director()->wantsNextFrame()) << "a frame follows a change: " << change.what;
    }
}

TEST_F(DrawOnChangeTest, ANewTextureOfTheSameSizeCountsAsAChange) {
    // Same size, same place, same draw call but for the texture: only its
    // identity tells the two frames apart.
    CCTexture2D* red = m_sprite->getTexture();
    red->retain();
    ASSERT_TRUE(settle());
    unsigned int drawn = presented();
    m_sprite->setTexture(m_blue);
    drawFrame();
    EXPECT_TRUE(isColour(at(100, 100), 0, 0, 255));
    ASSERT_TRUE(settle());
    m_sprite->setTexture(red);
    drawFrame();
    EXPECT_EQ(presented(), drawn + 3) << "each texture change drawn, once more after each";
    EXPECT_TRUE(isColour(at(100, 100), 255, 0, 0));
    red->release();
}

TEST_F(DrawOnChangeTest, SettingWhatIsAlreadyThereDrawsNothing) {
    ASSERT_TRUE(settle());
    unsigned int drawn = presented();
    m_sprite->setPosition(m_sprite->getPosition());
    m_sprite->setColor(m_sprite->getColor());
    m_sprite->setVisible(true);
    drawFrame();
    EXPECT_EQ(presented(), drawn);
    EXPECT_FALSE(director()->wantsNextFrame());
}

TEST_F(DrawOnChangeTest, ActionsKeepFramesComingAndAreDrawnOnlyWhenTheyShow) {
    ASSERT_TRUE(settle());
    unsigned int drawn = presented();
    m_sprite->runAction(CCDelayTime::create(0.1f));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(director()->wantsNextFrame()) << "frames run while an action does";
        drawFrame();
    }
    EXPECT_EQ(presented(), drawn) << "a delay shows nothing";
    ASSERT_TRUE(settle());

    drawn = presented();
    m_sprite->runAction(CCMoveBy::create(0.1f, {60, 0}));
    for (int i = 0; i < 4; ++i)
        drawFrame();
    // An action's first step is its start, where nothing has moved yet.
    EXPECT_EQ(presented(), drawn + 3) << "a move is drawn every frame it moves";
    ASSERT_TRUE(settle());
    EXPECT_TRUE(isColour(at(160, 100), 255, 0, 0)) << "the move's last frame is on screen";
}

TEST_F(DrawOnChangeTest, WithDrawingOnChangeOffEveryFrameIsDrawn) {
    director()->setDrawOnlyOnChange(false);
    unsigned int drawn = presented();
    for (int i = 0; i < 4; ++i)
        drawFrame();
    EXPECT_EQ(presented(), drawn + 4);
    EXPECT_TRUE(director()->wantsNextFrame());
}

TEST_F(DrawOnChangeTest, ANeededDrawIsDrawnEvenWhenNothingChanged) {
    // The window was exposed: its pixels are gone even though the scene is the same.
    ASSERT_TRUE(settle());
    unsigned int drawn = presented();
    director()->setNeedsDraw();
    drawFrame();
    EXPECT_EQ(presented(), drawn + 1);
    EXPECT_FALSE(director()->wantsNextFrame()) << "the same picture again: nothing follows";
}

// --- sleeping and timers, on the virtual clock

namespace {

class TimerProbe : public CCNode {
public:
    static TimerProbe* create() {
        auto* node = new TimerProbe();
        node->autorelease();
        return node;
    }
    void fire(float) { firedAt.push_back(CCClock::now()); }
    void update(float dt) override {
        updated += dt;
        lastDt = dt;
    }
    std::vector<double> firedAt;
    double updated = 0, lastDt = 0;
};

class SleepTest : public DrawOnChangeTest {
protected:
    void SetUp() override {
        CCClock::setVirtual(true);
        DrawOnChangeTest::SetUp();
    }
    void TearDown() override {
        DrawOnChangeTest::TearDown();
        CCClock::setVirtual(false);
    }
    // A frame as the window's loop runs it: the clock moves, then the frame.
    void frameAfter(double seconds) {
        CCClock::advance(seconds);
        director()->mainLoop();
    }
};

} // namespace

TEST_F(SleepTest, TheNextTimerIsKnownAndPausedOrMissingOnesDoNotCount) {
    CCScheduler* scheduler = director()->getScheduler();
    EXPECT_TRUE(std::isinf(director()->secondsUntilNextTimer()));
    TimerProbe* probe = TimerProbe::create();
    m_layer->addChild(probe);
    probe->schedule(schedule_selector(TimerProbe::fire), 0.5f);
    director()->stepFrame(0.2f);
    EXPECT_NEAR(director()->secondsUntilNextTimer(), 0.3, 1e-5);
    probe->schedule(schedule_selector(TimerProbe::fire), 0.5f, 0, 1.0f); // a first delay counts instead
    scheduler->setTimeScale(2.0f);
    EXPECT_NEAR(director()->secondsUntilNextTimer(), 0.15, 1e-5) << "twice as fast: due twice as soon";
    scheduler->setTimeScale(1.0f);
    probe->pauseSchedulerAndActions();
    EXPECT_TRUE(std::isinf(director()->secondsUntilNextTimer()));
    probe->resumeSchedulerAndActions();
    director()->stopAnimation();
    EXPECT_TRUE(std::isinf(director()->secondsUntilNextTimer())) << "no timer runs while stopped";
    director()->startAnimation();
    probe->unscheduleAllSelectors();
    EXPECT_TRUE(std::isinf(director()->secondsUntilNextTimer()));
}

TEST_F(SleepTest, ATimerFiresAfterASleepAtTheTimeItWasDue) {
    TimerProbe* probe = TimerProbe::create();
    m_layer->addChild(probe);
    probe->scheduleUpdate();
    frameAfter(kFrame);
    probe->schedule(schedule_selector(TimerProbe::fire), 0.5f);
    frameAfter(kFrame);
    ASSERT_TRUE(settle());
    const double start = director()->getLastFrameTime(), updatedBefore = probe->updated;
    double due = start + director()->secondsUntilNextTimer();
    ASSERT_GT(due - start, 0.4);

    // The loop sleeps until then (nothing to draw meanwhile) and wakes on
    // time, or a little after: waits end on whole milliseconds.
    CCClock::advance(due + 1e-4 - CCClock::now());
    director()->catchUpAfterSleep();
    EXPECT_TRUE(probe->firedAt.empty()) << "the frame after the wake runs it";
    director()->mainLoop();
    ASSERT_EQ(probe->firedAt.size(), 1u);
    EXPECT_NEAR(probe->firedAt[0], due, 1e-3);
    EXPECT_NEAR(probe->updated - updatedBefore, CCClock::now() - start, 1e-3)
        << "per-frame updates were given all the time slept";
}

TEST_F(SleepTest, TheFrameAfterALongSleepIsAnOrdinaryStep) {
    // A scroll view's glide, say, starts with the touch that woke the loop:
    // its first step must not be the ten seconds slept.
    TimerProbe* probe = TimerProbe::create();
    m_layer->addChild(probe);
    probe->scheduleUpdate();
    ASSERT_TRUE(settle());
    CCClock::advance(10.0);
    director()->catchUpAfterSleep();
    EXPECT_NEAR(probe->lastDt, 10.0 - kFrame, 1e-3) << "the time slept is given before the input";
    director()->mainLoop();
    EXPECT_NEAR(probe->lastDt, kFrame, 1e-3);
    EXPECT_NEAR(director()->getDeltaTime(), kFrame, 1e-3);
}
