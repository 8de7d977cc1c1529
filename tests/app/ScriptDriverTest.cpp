// A script played into a running scene: touches at exactly the design points
// written, keys through the same path as the keyboard, shots that fail
// counted, turn shots taken halfway through a scene change.
#include "app/ScriptDriver.h"
#include "app/AutomationScript.h"
#include "engine/base/CCTouch.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/transitions/CCTransitionPageTurn.h"
#include "support/HeadlessView.h"
#include "support/TestSupport.h"

#include <SDL_image.h>

#include <gtest/gtest.h>

#include <vector>

using namespace engine;

namespace {

class InputRecorder : public CCLayer {
public:
    static InputRecorder* create() {
        auto* layer = new InputRecorder();
        layer->init();
        layer->setTouchMode(kCCTouchesOneByOne);
        layer->setTouchEnabled(true);
        layer->setKeyboardEnabled(true);
        layer->autorelease();
        return layer;
    }
    bool ccTouchBegan(CCTouch* touch, CCEvent*) override {
        points.push_back(touch->getLocation());
        return true;
    }
    void ccTouchMoved(CCTouch* touch, CCEvent*) override { points.push_back(touch->getLocation()); }
    void ccTouchEnded(CCTouch* touch, CCEvent*) override { points.push_back(touch->getLocation()); }
    bool keyPressed(int key) override {
        keys.push_back(key);
        return true;
    }
    std::vector<CCPoint> points;
    std::vector<int> keys;
};

TEST(ScriptDriverTest, TouchesArriveAsWrittenAndKeysAsTheKeyboardsWould) {
    testsupport::HeadlessView headless;
    // The book's fractional frame: a round trip through its pixels would
    // not give back the points written.
    CCEGLView::sharedOpenGLView()->setFrameSize(824.5714f, 1008.8f);
    InputRecorder* recorder = InputRecorder::create();
    headless.show(recorder);

    auto parsed = app::parseScript("at 0 down 100.3 200.7\nat 0.1 move 150.3 200.7\nat 0.2 up 150.3 200.7\n"
                                   "at 0.2 key Right\nat 0.2 key s\nat 0.3 shot /nonexistent/dir/x.png\n",
                                   "s");
    ASSERT_TRUE(parsed.events) << parsed.error;
    app::ScriptDriver driver(*parsed.events);
    for (double t : {0.0, 0.1, 0.2, 0.3}) {
        driver.beforeFrame(t);
        headless.step();
        driver.afterFrame();
    }
    ASSERT_EQ(recorder->points.size(), 3u);
    EXPECT_EQ(recorder->points[0].x, 100.3f);
    EXPECT_EQ(recorder->points[0].y, 200.7f);
    EXPECT_EQ(recorder->points[2].x - recorder->points[0].x, 150.3f - 100.3f);
    EXPECT_EQ(recorder->keys, (std::vector<int>{engine::kKeyRight, 's'}));
    EXPECT_EQ(driver.failedShots(), 1u);
}

} // namespace

// A turn shot waits for a frame halfway through a scene change however slow
// the frames come, and is counted as failed when none comes.
TEST(ScriptDriverTest, ATurnShotSavesAFrameHalfwayThroughASceneChange) {
    testsupport::HeadlessView headless;
    testsupport::LogCapture log;
    headless.show(CCLayerColor::create(ccc4(255, 0, 0, 255)));
    const std::string file = headless.resources().path() + "/turning.png";
    auto parsed = app::parseScript("at 0 turnshot " + file + "\n", "s");
    ASSERT_TRUE(parsed.events) << parsed.error;
    app::ScriptDriver driver(*parsed.events);
    auto frame = [&](float dt) {
        driver.beforeFrame(0);
        headless.step(1, dt);
        driver.afterFrame();
    };
    for (int i = 0; i < 5; ++i)
        frame(0.1f);
    EXPECT_EQ(log.count("script: saved frame"), 0) << "saved with no scene change under way";

    CCScene* blue = CCScene::create();
    blue->addChild(CCLayerColor::create(ccc4(0, 0, 255, 255)));
    CCDirector::sharedDirector()->replaceScene(CCTransitionPageTurn::create(0.5f, blue, false));
    std::vector<std::uint32_t> shown;
    for (int i = 0; i < 40 && log.count("script: saved frame") == 0; ++i) {
        frame(1.0f / 60);
        shown = headless.pixels();
    }
    ASSERT_EQ(log.count("script: saved frame to " + file), 1);
    EXPECT_EQ(driver.failedShots(), 0u);
    SDL_Surface* saved = IMG_Load(file.c_str());
    ASSERT_NE(saved, nullptr) << IMG_GetError();
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(saved, SDL_PIXELFORMAT_ARGB8888, 0);
    ASSERT_NE(argb, nullptr);
    ASSERT_EQ(static_cast<size_t>(argb->w) * argb->h, shown.size());
    int red = 0, blueish = 0, same = 0;
    for (int y = 0; y < argb->h; ++y)
        for (int x = 0; x < argb->w; ++x) {
            std::uint32_t p = static_cast<const std::uint32_t*>(argb->pixels)[y * argb->pitch / 4 + x];
            red += p == 0xffff0000u;
            blueish += p == 0xff0000ffu;
            same += p == shown[static_cast<size_t>(y) * argb->w + x];
        }
    SDL_FreeSurface(argb);
    SDL_FreeSurface(saved);
    EXPECT_GT(red, 1000) << "the outgoing scene does not show";
    EXPECT_GT(blueish, 1000) << "the incoming scene does not show";
    EXPECT_EQ(same, static_cast<int>(shown.size())) << "the file is not the frame drawn";

    // No scene change at all: the shot is never taken, and the run says so.
    app::ScriptDriver waiting(*app::parseScript("at 0 turnshot never.png\n", "s").events);
    waiting.beforeFrame(0);
    headless.step(30);
    waiting.afterFrame();
    EXPECT_EQ(waiting.failedShots(), 1u);
}
