// Scrolling and animation costs: one headless frame of a flicking scroll
// view holding 500 buttons, next to the same view holding only the buttons
// that fit in it (what is out of sight should cost next to nothing); and
// reading a layout file whose animation has 100 tracks of 50 key frames,
// next to the same file without it.
#include "BenchView.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCTextureCache.h"
#include "gui/LayoutReader.h"
#include "gui/UIButton.h"
#include "gui/UILayer.h"
#include "gui/UIScrollView.h"
#include "gui/UIToolkit.h"
#include "gui/action/ActionManager.h"

#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace engine;

namespace {

// --- a flicking scroll view

constexpr float kRow = 48;

// A 240 x 600 view at (200, 180); `count` buttons in one column, 48 apart.
gui::UIScrollView* scrollViewOf(int count) {
    gui::UIScrollView* scroll = gui::UIScrollView::create();
    scroll->setSize({240, 600});
    scroll->setPosition({200, 180});
    scroll->setInnerContainerSize({240, kRow * count});
    for (int i = 0; i < count; ++i) {
        gui::UIButton* button = gui::UIButton::create();
        button->loadTextures("normal.png", "pressed.png", "disabled.png");
        button->setTouchEnabled(true);
        button->setPosition({120, kRow * count - kRow / 2 - kRow * i});
        scroll->addChild(button);
    }
    return scroll;
}

// A fast upward flick from the top of the content (the view's own touch).
void flick(gui::UIScrollView* scroll) {
    scroll->setInnerContainerSize(scroll->getInnerContainer()->getSize()); // back to the top
    scroll->handlePress({300, 300});
    scroll->update(0.05f);
    scroll->handleMove({300, 400});
    scroll->handleRelease({300, 400}); // 2,000 points per second
}

void flickingScrollView(benchmark::State& state) {
    int count = static_cast<int>(state.range(0));
    CCDirector::sharedDirector()->reset();
    gui::UILayer* layer = gui::UILayer::create();
    gui::UIScrollView* scroll = scrollViewOf(count);
    layer->addWidget(scroll);
    CCScene* scene = CCScene::create();
    scene->addChild(layer);
    CCDirector::sharedDirector()->runWithScene(scene);
    CCDirector::sharedDirector()->stepFrame(1 / 60.f);
    flick(scroll);
    for (auto _ : state) {
        if (!scroll->isAutoScrolling()) {
            state.PauseTiming();
            flick(scroll);
            state.ResumeTiming();
        }
        CCDirector::sharedDirector()->stepFrame(1 / 60.f);
    }
    state.counters["buttons"] = count;
    CCDirector::sharedDirector()->reset();
}
// 13 buttons fill the view: the same picture on screen as 500.
BENCHMARK(flickingScrollView)->Arg(13)->Arg(500)->Unit(benchmark::kMillisecond);

// --- reading a layout with a large animation

std::string layoutText(int tracks, int frames) {
    std::string text = R"({"version": "1.0.0.0", "designWidth": 640, "designHeight": 960,
      "widgetTree": {"classname": "Panel", "options": {"width": 640, "height": 960}, "children": [)";
    for (int t = 1; t <= tracks; ++t) {
        if (t > 1) text += ",";
        text += R"({"classname": "Panel", "options": {"width": 10, "height": 10, "actiontag": )" +
                std::to_string(t) + "}}";
    }
    text +=
        R"(]}, "animation": {"actionlist": [{"name": "big", "loop": true, "unittime": 0.05, "actionnodelist": [)";
    for (int t = 1; frames > 0 && t <= tracks; ++t) {
        if (t > 1) text += ",";
        text += R"({"ActionTag": )" + std::to_string(t) + R"(, "actionframelist": [)";
        for (int f = 0; f < frames; ++f) {
            if (f > 0) text += ",";
            std::string i = std::to_string(f);
            text += R"({"frameid": )" + std::to_string(f * 2) + R"(, "positionx": )" + i +
                    R"(, "positiony": )" + i + R"(, "scalex": 1.5, "scaley": 0.5, "rotation": )" + i +
                    R"(, "opacity": 200, "colorr": 10,
                    "colorg": 20, "colorb": 30})";
        }
        text += "]}";
    }
    text += "]}]}}";
    return text;
}

void readLayout(benchmark::State& state, int frames) {
    std::string text = layoutText(100, frames);
    for (auto _ : state) {
        gui::UIWidget* root = gui::LayoutReader::instance()->readLayoutData(text, "bench/animated.json");
        benchmark::DoNotOptimize(root);
        state.PauseTiming();
        gui::ActionManager::purge();
        gui::UIToolkit::purgeToolkit();
        CCAutoreleasePool::sharedPool()->drain();
        state.ResumeTiming();
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}

void readLayoutWith100TracksOf50Frames(benchmark::State& state) {
    readLayout(state, 50);
}
BENCHMARK(readLayoutWith100TracksOf50Frames)->Unit(benchmark::kMillisecond);

void readSameLayoutWithoutAnimation(benchmark::State& state) {
    readLayout(state, 0);
}
BENCHMARK(readSameLayoutWithoutAnimation)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!benchview::openView("scroll_bench", 200, 40)) {
        std::fprintf(stderr, "scroll_bench: no headless view\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchview::closeView();
    benchmark::Shutdown();
    return 0;
}
