// A script played into a running scene: touches at exactly the design points
// written, keys through the same path as the keyboard, shots that fail counted.
#include "app/ScriptDriver.h"
#include "app/AutomationScript.h"
#include "engine/base/CCTouch.h"
#include "engine/nodes/CCLayer.h"
#include "engine/platform/CCEGLView.h"
#include "support/HeadlessView.h"

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
