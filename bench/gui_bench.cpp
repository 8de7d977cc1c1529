// Widget-layer costs: the touch pick over a tree of 1,000 widgets in its
// worst case (no widget under the touch, so every one is tested), freeing a
// panel of 1,000 to 100,000 children, and one headless frame of a screen of
// 200 buttons (and of 200 panels with image backgrounds), next to an empty
// frame.
#include "BenchView.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCTextureCache.h"
#include "gui/Layout.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UITouchRouter.h"
#if __has_include("gui/UIButton.h")
#include "gui/UIButton.h"
#define LIRRA_BENCH_HAS_BUTTON 1
#endif

#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace engine;

namespace {

// --- the pick

// 1 root + 10 panels + 10 x 99 widgets, all enabled and touch-enabled, laid
// out over the lower half of the screen; the touch lands in the upper half.
gui::UILayer* pickTree(bool clipping) {
    CCDirector::sharedDirector()->reset();
    gui::UILayer* layer = gui::UILayer::create();
    layer->retain();
    for (int p = 0; p < 10; ++p) {
        gui::Layout* panel = gui::Layout::create();
        panel->setSize({64, 480});
        panel->setPosition({64.0f * p, 0});
        panel->setClipping(clipping);
        panel->setTouchEnabled(true);
        for (int i = 0; i < 99; ++i) {
            gui::UIWidget* widget = gui::UIWidget::create();
            widget->setIgnoreContentSize(false);
            widget->setSize({20, 20});
            widget->setPosition({10.0f + 22.0f * (i % 3), 10.0f + 14.0f * (i / 3)});
            widget->setTouchEnabled(true);
            panel->addChild(widget);
        }
        layer->addWidget(panel);
    }
    CCAutoreleasePool::sharedPool()->drain();
    return layer;
}

void pickNoHit(benchmark::State& state) {
    gui::UILayer* layer = pickTree(state.range(0) != 0);
    gui::UITouchRouter* router = layer->getTouchRouter();
    for (auto _ : state) {
        bool taken = router->touchBegan(0, {320, 800});
        benchmark::DoNotOptimize(taken);
    }
    state.counters["widgets"] = 1000;
    state.SetLabel(state.range(0) ? "panels clip" : "no clipping");
    layer->release();
    CCDirector::sharedDirector()->reset();
}
BENCHMARK(pickNoHit)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// --- teardown

// Freeing a panel whose N children all hang directly under it: the time per
// child must stay flat as N grows. Each panel is built untimed.
void freeWidePanel(benchmark::State& state) {
    CCDirector::sharedDirector()->reset();
    const int children = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        gui::Layout* panel = gui::Layout::create();
        panel->retain();
        for (int i = 0; i < children; ++i)
            panel->addChild(gui::UIWidget::create());
        CCAutoreleasePool::sharedPool()->drain();
        state.ResumeTiming();
        panel->release();
    }
    state.counters["per child"] =
        benchmark::Counter(static_cast<double>(children),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    CCDirector::sharedDirector()->reset();
}
BENCHMARK(freeWidePanel)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// --- frames

// 200 widgets in a 10 x 20 grid filling the screen.
CCPoint gridCell(int i) {
    return {32.0f + 64.0f * (i % 10), 24.0f + 48.0f * (i / 10)};
}

// The layer was built after the director's last reset (which drains the pool).
void runLayer(gui::UILayer* layer) {
    CCScene* scene = CCScene::create();
    if (layer) scene->addChild(layer);
    CCDirector::sharedDirector()->runWithScene(scene);
    CCDirector::sharedDirector()->stepFrame(1 / 60.f);
}

void frames(benchmark::State& state) {
    for (auto _ : state)
        CCDirector::sharedDirector()->stepFrame(1 / 60.f);
    CCDirector::sharedDirector()->reset();
}

void emptyFrame(benchmark::State& state) {
    CCDirector::sharedDirector()->reset();
    runLayer(gui::UILayer::create());
    frames(state);
}
BENCHMARK(emptyFrame)->Unit(benchmark::kMillisecond);

#ifdef LIRRA_BENCH_HAS_BUTTON
void frameOf200Buttons(benchmark::State& state) {
    CCDirector::sharedDirector()->reset();
    gui::UILayer* layer = gui::UILayer::create();
    for (int i = 0; i < 200; ++i) {
        gui::UIButton* button = gui::UIButton::create();
        button->loadTextures("normal.png", "pressed.png", "disabled.png");
        button->setTouchEnabled(true);
        button->setPosition(gridCell(i));
        layer->addWidget(button);
    }
    runLayer(layer);
    frames(state);
}
BENCHMARK(frameOf200Buttons)->Unit(benchmark::kMillisecond);
#endif

void frameOf200ImagePanels(benchmark::State& state) {
    CCDirector::sharedDirector()->reset();
    gui::UILayer* layer = gui::UILayer::create();
    for (int i = 0; i < 200; ++i) {
        gui::Layout* panel = gui::Layout::create();
        panel->setSize({48, 32});
        panel->setPosition(gridCell(i) - CCPoint(24, 16));
        panel->setBackgroundImage("normal.png");
        panel->setClipping(state.range(0) != 0);
        layer->addWidget(panel);
    }
    runLayer(layer);
    state.SetLabel(state.range(0) ? "clipping" : "no clipping");
    frames(state);
}
BENCHMARK(frameOf200ImagePanels)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!benchview::openView("gui_bench", 48, 32)) {
        std::fprintf(stderr, "gui_bench: no headless view\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchview::closeView();
    benchmark::Shutdown();
    return 0;
}
