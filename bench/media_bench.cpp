// Frame costs of the engine's media, headless on the software renderer:
// a page-curl transition between two pictured scenes, and a screen of 20
// menu items with labels (which must not be rasterised again frame after
// frame: the benchmark reads the labels' raster counter).
#include "engine/base/CCAutoreleasePool.h"
#include "engine/director/CCDirector.h"
#include "engine/menu/CCMenu.h"
#include "engine/menu/CCMenuItemFont.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCScene.h"
#include "engine/nodes/CCSprite.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/text/CCLabelTTF.h"
#include "engine/transitions/CCTransitionPageTurn.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

using namespace engine;

namespace {

constexpr float kFrame = 1.0f / 60;

void openHeadlessView() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    CCFileUtils::sharedFileUtils()->setResourceRoot(LIRRA_SOURCE_DIR "/resources");
    CCEGLView* view = CCEGLView::sharedOpenGLView();
    view->close();
    view->setHeadless(true);
    view->setFrameSize(824.571f, 1008.8f); // the frame of a 1040-pixel desktop
    view->setDesignResolutionSize(640, 960, kResolutionExactFit);
    view->open();
    CCDirector::sharedDirector()->reset();
    CCDirector::sharedDirector()->setOpenGLView(view);
}

CCScene* picturedScene(const ccColor4B& background) {
    CCScene* scene = CCScene::create();
    scene->addChild(CCLayerColor::create(background));
    CCSprite* cover = CCSprite::create("Images/cover.png");
    cover->setPosition(ccp(320, 480));
    scene->addChild(cover);
    return scene;
}

// One full page turn (0.5 s at 60 frames per second) per iteration.
void BM_PageCurlTransitionFrame(benchmark::State& state) {
    openHeadlessView();
    CCDirector* director = CCDirector::sharedDirector();
    director->runWithScene(picturedScene(ccc4(250, 240, 215, 255)));
    director->stepFrame(kFrame);
    bool backwards = false;
    long frames = 0;
    for (auto _ : state) {
        director->replaceScene(CCTransitionPageTurn::create(0.5f, picturedScene(ccc4(200, 230, 250, 255)),
                                                            backwards));
        backwards = !backwards;
        for (int i = 0; i < 32; ++i, ++frames) director->stepFrame(kFrame);
    }
    state.counters["frames_per_second"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
    director->reset();
}
BENCHMARK(BM_PageCurlTransitionFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MenuScreenFrame(benchmark::State& state) {
    openHeadlessView();
    CCDirector* director = CCDirector::sharedDirector();
    CCScene* scene = CCScene::create();
    scene->addChild(CCLayerColor::create(ccc4(250, 240, 215, 255)));
    CCMenuItemFont::setFontSize(36);
    CCMenu* menu = CCMenu::create();
    for (int i = 0; i < 20; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "Page %d", i + 1);
        CCMenuItemFont* item = CCMenuItemFont::create(text);
        item->setPosition(ccp(160 + 320 * (i % 2), 60 + 90 * (i / 2)));
        menu->addChild(item);
    }
    menu->setPosition(CCPointZero);
    scene->addChild(menu);
    director->runWithScene(scene);
    director->stepFrame(kFrame); // the first frame rasterises every label once
    long rastersBefore = CCLabelTTF::totalRasterCount();
    for (auto _ : state) director->stepFrame(kFrame);
    state.counters["rasters_after_first_frame"] =
        static_cast<double>(CCLabelTTF::totalRasterCount() - rastersBefore);
    director->reset();
}
BENCHMARK(BM_MenuScreenFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
