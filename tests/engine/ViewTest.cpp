// The view: resolution policies, window-to-design conversion, SDL events
// turned into touches and lifecycle calls, frames saved as PNG.
#include "support/SceneTest.h"
#include "support/SdlEvents.h"

#include "engine/base/CCTouch.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/nodes/CCLayer.h"
#include "engine/platform/CCClock.h"

#include <SDL_image.h>

#include <filesystem>

using namespace engine;
using namespace testsupport;

namespace {

// Records every touch phase it receives, claiming every touch.
class TouchRecorder : public CCLayer {
public:
    static TouchRecorder* create() {
        auto* layer = new TouchRecorder();
        layer->init();
        layer->setTouchMode(kCCTouchesOneByOne);
        layer->setTouchEnabled(true);
        layer->autorelease();
        return layer;
    }
    bool ccTouchBegan(CCTouch* touch, CCEvent*) override { return record("began", touch); }
    void ccTouchMoved(CCTouch* touch, CCEvent*) override { record("moved", touch); }
    void ccTouchEnded(CCTouch* touch, CCEvent*) override { record("ended", touch); }
    void ccTouchCancelled(CCTouch* touch, CCEvent*) override { record("cancelled", touch); }

    struct Entry {
        std::string phase;
        int id;
        CCPoint point;
    };
    std::vector<Entry> entries;

private:
    bool record(const char* phase, CCTouch* touch) {
        entries.push_back({phase, touch->getID(), touch->getLocation()});
        return true;
    }
};

SDL_Event mouseButton(Uint32 type, int x, int y, Uint32 which = 0, Uint8 button = SDL_BUTTON_LEFT) {
    SDL_Event event{};
    event.type = type;
    event.button.which = which;
    event.button.button = button;
    event.button.x = x;
    event.button.y = y;
    return event;
}

SDL_Event mouseMotion(int x, int y, Uint32 which = 0) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.which = which;
    event.motion.x = x;
    event.motion.y = y;
    return event;
}

SDL_Event finger(Uint32 type, SDL_FingerID id, float x, float y) {
    SDL_Event event{};
    event.type = type;
    event.tfinger.fingerId = id;
    event.tfinger.x = x;
    event.tfinger.y = y;
    return event;
}

SDL_Event windowEvent(Uint8 what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    return event;
}

class ViewTest : public SceneTest {
protected:
    TouchRecorder* runRecorder() {
        TouchRecorder* recorder = TouchRecorder::create();
        show(recorder);
        return recorder;
    }
    void TearDown() override {
        view()->setLifecycleHandlers(nullptr, nullptr);
        view()->setKeyHandler(nullptr);
        view()->setTextHandler(nullptr);
        // Leaves the policy as the other tests expect it.
        view()->setDesignResolutionSize(640, 960, kResolutionExactFit);
        SceneTest::TearDown();
    }
};

TEST_F(ViewTest, ExactFitStretchesTheDesignOverAFrameOfAnotherShape) {
    openView(400, 500);
    EXPECT_EQ(view()->getVisibleOrigin(), CCPointZero);
    EXPECT_EQ(view()->getVisibleSize(), CCSizeMake(640, 960));
    EXPECT_EQ(director()->getWinSize(), CCSizeMake(640, 960));
    EXPECT_FLOAT_EQ(view()->getScaleX(), 400.f / 640);
    EXPECT_FLOAT_EQ(view()->getScaleY(), 500.f / 960);
    // Corners and centre; y points up in design space, down in the window.
    EXPECT_TRUE(view()->convertWindowToDesign(0, 0).fuzzyEquals(ccp(0, 960), 1e-3f));
    EXPECT_TRUE(view()->convertWindowToDesign(400, 500).fuzzyEquals(ccp(640, 0), 1e-3f));
    EXPECT_TRUE(view()->convertWindowToDesign(200, 250).fuzzyEquals(ccp(320, 480), 1e-3f));
    EXPECT_TRUE(view()->convertDesignToWindow(ccp(64, 96)).fuzzyEquals(ccp(40, 450), 1e-3f));
}

TEST_F(ViewTest, FractionalFrameFillsItsRoundedWindow) {
    // The book's frame for a 1040-pixel desktop.
    openView(824.5714f, 1008.8f);
    show(CCLayerColor::create(ccc4(10, 20, 30, 255)));
    EXPECT_EQ(screen.width(), 825);
    EXPECT_EQ(screen.height(), 1009);
    EXPECT_TRUE(isColour(pixelAt(824, 1008), 10, 20, 30));
    EXPECT_TRUE(view()->convertWindowToDesign(825, 1009).fuzzyEquals(ccp(640, 0), 1e-3f));
}

TEST_F(ViewTest, OtherPoliciesKeepTheAspectRatio) {
    openView(400, 500);
    view()->setDesignResolutionSize(640, 960, kResolutionShowAll);
    float scale = 500.f / 960;
    EXPECT_FLOAT_EQ(view()->getScaleX(), scale);
    EXPECT_EQ(view()->getVisibleSize(), CCSizeMake(640, 960));
    // Borders left and right; the design's left edge sits at the border.
    EXPECT_NEAR(view()->convertDesignToWindow(ccp(0, 0)).x, (400 - 640 * scale) / 2, 1e-3);

    view()->setDesignResolutionSize(640, 960, kResolutionNoBorder);
    EXPECT_EQ(view()->getVisibleSize(), CCSizeMake(640, 800));
    EXPECT_EQ(view()->getVisibleOrigin(), ccp(0, 80));
    // The director answers what its view shows.
    director()->setOpenGLView(view());
    EXPECT_EQ(director()->getVisibleSize(), CCSizeMake(640, 800));
    EXPECT_EQ(director()->getVisibleOrigin(), ccp(0, 80));
    EXPECT_TRUE(view()->convertWindowToDesign(0, 0).fuzzyEquals(ccp(0, 880), 1e-3f));

    view()->setDesignResolutionSize(640, 960, kResolutionFixedHeight);
    EXPECT_NEAR(director()->getWinSize().width, 768, 1e-3);
    EXPECT_EQ(director()->getWinSize().height, 960);
    view()->setDesignResolutionSize(640, 960, kResolutionFixedWidth);
    EXPECT_EQ(director()->getWinSize().width, 640);
    EXPECT_NEAR(director()->getWinSize().height, 800, 1e-3);
}

TEST_F(ViewTest, MouseIsTouchZeroInDesignPoints) {
    openView(400, 500);
    TouchRecorder* recorder = runRecorder();
    EXPECT_TRUE(testsupport::deliver(mouseMotion(10, 10))); // no button held: no touch
    EXPECT_TRUE(testsupport::deliver(mouseButton(SDL_MOUSEBUTTONDOWN, 200, 250)));
    EXPECT_TRUE(testsupport::deliver(mouseMotion(100, 125)));
    EXPECT_TRUE(testsupport::deliver(mouseButton(SDL_MOUSEBUTTONUP, 0, 500)));
    EXPECT_TRUE(
        testsupport::deliver(mouseButton(SDL_MOUSEBUTTONDOWN, 5, 5, 0, SDL_BUTTON_RIGHT))); // not a touch
    ASSERT_EQ(recorder->entries.size(), 3u);
    EXPECT_EQ(recorder->entries[0].phase, "began");
    EXPECT_EQ(recorder->entries[0].id, 0);
    EXPECT_TRUE(recorder->entries[0].point.fuzzyEquals(ccp(320, 480), 1e-3f));
    EXPECT_EQ(recorder->entries[1].phase, "moved");
    EXPECT_TRUE(recorder->entries[1].point.fuzzyEquals(ccp(160, 720), 1e-3f));
    EXPECT_EQ(recorder->entries[2].phase, "ended");
    EXPECT_TRUE(recorder->entries[2].point.fuzzyEquals(ccp(0, 0), 1e-3f));
}

TEST_F(ViewTest, AnEventThatEndsTheWaitIsLeftForThePoll) {
    openView(400, 500);
    TouchRecorder* recorder = runRecorder();
    SDL_Event press = mouseButton(SDL_MOUSEBUTTONDOWN, 200, 250);
    ASSERT_EQ(SDL_PushEvent(&press), 1);
    EXPECT_TRUE(view()->waitForEvent(CCClock::now() + 30)); // queued already: no wait
    EXPECT_TRUE(recorder->entries.empty());
    view()->pollEvents();
    ASSERT_EQ(recorder->entries.size(), 1u);
    EXPECT_EQ(recorder->entries[0].phase, "began");
    EXPECT_FALSE(view()->waitForEvent(CCClock::now() - 1)); // nothing queued, deadline passed
}

TEST_F(ViewTest, FingersAreFurtherTouchesAndTheirMouseEchoIsIgnored) {
    openView(400, 500);
    TouchRecorder* recorder = runRecorder();
    EXPECT_TRUE(testsupport::deliver(finger(SDL_FINGERDOWN, 77, 0.5f, 0.5f)));
    EXPECT_TRUE(testsupport::deliver(mouseButton(SDL_MOUSEBUTTONDOWN, 200, 250, SDL_TOUCH_MOUSEID)));
    EXPECT_TRUE(testsupport::deliver(finger(SDL_FINGERDOWN, 99, 0.25f, 0.75f)));
    EXPECT_TRUE(testsupport::deliver(finger(SDL_FINGERUP, 77, 0.5f, 0.5f)));
    EXPECT_TRUE(testsupport::deliver(finger(SDL_FINGERMOTION, 99, 1.0f, 0.0f)));
    EXPECT_TRUE(testsupport::deliver(mouseButton(SDL_MOUSEBUTTONUP, 200, 250, SDL_TOUCH_MOUSEID)));
    ASSERT_EQ(recorder->entries.size(), 4u);
    EXPECT_EQ(recorder->entries[0].id, 1);
    EXPECT_TRUE(recorder->entries[0].point.fuzzyEquals(ccp(320, 480), 1e-3f));
    EXPECT_EQ(recorder->entries[1].id, 2);
    EXPECT_TRUE(recorder->entries[1].point.fuzzyEquals(ccp(160, 240), 1e-3f));
    EXPECT_EQ(recorder->entries[2].phase, "ended");
    EXPECT_EQ(recorder->entries[2].id, 1);
    EXPECT_EQ(recorder->entries[3].phase, "moved");
    EXPECT_TRUE(recorder->entries[3].point.fuzzyEquals(ccp(640, 960), 1e-3f));
}

TEST_F(ViewTest, MinimiseAndRestoreCallTheLifecycleHandlersOnce) {
    TouchRecorder* recorder = runRecorder();
    std::vector<std::string> calls;
    view()->setLifecycleHandlers([&] { calls.push_back("background"); },
                                 [&] { calls.push_back("foreground"); });
    EXPECT_TRUE(testsupport::deliver(mouseButton(SDL_MOUSEBUTTONDOWN, 10, 10)));
    EXPECT_TRUE(testsupport::deliver(windowEvent(SDL_WINDOWEVENT_MINIMIZED)));
    EXPECT_TRUE(testsupport::deliver(windowEvent(SDL_WINDOWEVENT_MINIMIZED)));
    EXPECT_TRUE(view()->isInBackground());
    EXPECT_TRUE(testsupport::deliver(windowEvent(SDL_WINDOWEVENT_RESTORED)));
    EXPECT_TRUE(testsupport::deliver(windowEvent(SDL_WINDOWEVENT_RESTORED)));
    EXPECT_EQ(calls, (std::vector<std::string>{"background", "foreground"}));
    // The drag cut short by minimising was cancelled; its button-up is no touch.
    EXPECT_TRUE(testsupport::deliver(mouseButton(SDL_MOUSEBUTTONUP, 10, 10)));
    ASSERT_EQ(recorder->entries.size(), 2u);
    EXPECT_EQ(recorder->entries[1].phase, "cancelled");
}

TEST_F(ViewTest, ClosingTheWindowEndsTheDirector) {
    runRecorder();
    EXPECT_TRUE(testsupport::deliver(windowEvent(SDL_WINDOWEVENT_CLOSE)));
    director()->stepFrame(1 / 60.f);
    EXPECT_TRUE(director()->isEnded());
    EXPECT_EQ(director()->getRunningScene(), nullptr);

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    runRecorder();
    EXPECT_TRUE(testsupport::deliver(quit));
    director()->stepFrame(1 / 60.f);
    EXPECT_TRUE(director()->isEnded());
}

TEST_F(ViewTest, KeysAndTextReachTheirHandlers) {
    std::vector<std::string> keys, texts;
    view()->setKeyHandler([&](const std::string& key) { keys.push_back(key); });
    view()->setTextHandler([&](const std::string& text) { texts.push_back(text); });
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_RETURN;
    EXPECT_TRUE(testsupport::deliver(key));
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    SDL_strlcpy(text.text.text, "é字", sizeof(text.text.text));
    EXPECT_TRUE(testsupport::deliver(text));
    EXPECT_EQ(keys, std::vector<std::string>{"Return"});
    EXPECT_EQ(texts, std::vector<std::string>{"é字"});
}

TEST_F(ViewTest, SavedFrameReadsBackAsDrawn) {
    openView(400, 500);
    CCLayerColor* layer = CCLayerColor::create(ccc4(0, 0, 255, 255), 320, 960);
    show(layer);
    std::string path = resources().path() + "/frame.png";
    ASSERT_TRUE(view()->saveFrame(path));
    SDL_Surface* loaded = IMG_Load(path.c_str());
    ASSERT_NE(loaded, nullptr);
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    EXPECT_EQ(argb->w, 400);
    EXPECT_EQ(argb->h, 500);
    auto* pixels = static_cast<std::uint32_t*>(argb->pixels);
    EXPECT_TRUE(isColour(unpack(pixels[10 * (argb->pitch / 4) + 10]), 0, 0, 255));
    EXPECT_TRUE(isColour(unpack(pixels[10 * (argb->pitch / 4) + 390]), 0, 0, 0));
    SDL_FreeSurface(argb);
    SDL_FreeSurface(loaded);

    testsupport::LogCapture log;
    EXPECT_FALSE(view()->saveFrame(resources().path() + "/no/such/folder/frame.png"));
    EXPECT_EQ(log.count("no/such/folder/frame.png"), 1);
    // A full disk takes the first bytes and fails later: not saved, and said.
    EXPECT_FALSE(view()->saveFrame("/dev/full"));
    EXPECT_TRUE(log.contains("cannot write /dev/full: No space left on device"));
}

TEST_F(ViewTest, ClosedViewDrawsNothingAndSaysSo) {
    view()->close();
    EXPECT_EQ(director()->getRenderer(), nullptr);
    testsupport::LogCapture log;
    std::vector<std::uint32_t> pixels;
    int w, h;
    EXPECT_FALSE(view()->readPixels(pixels, w, h));
    EXPECT_EQ(log.count("not open"), 1);
    // A scene still runs without a renderer.
    CCScene* scene = CCScene::create();
    scene->addChild(CCLayerColor::create(ccc4(1, 2, 3, 255)));
    director()->runWithScene(scene);
    director()->stepFrame(1 / 60.f);
    EXPECT_EQ(director()->getTotalFrames(), 1u);
}

} // namespace
