// Frame costs of the engine's media:
// - a page-curl transition between two busy pages, frame by frame, on SDL's
//   software renderer (headless) and, when DISPLAY is set, on the OpenGL
//   renderer in a window (llvmpipe on the CPU under Xvfb); each printed as a
//   ratio to a still page's frame and to the 16.7 ms of a 60 Hz frame;
// - a screen of 20 menu items with labels, which must not be rasterised
//   again frame after frame (the benchmark reads the labels' raster counter).
//
// For profilers, `media_bench --turns=N [--still=M] [--software|--opengl]`
// skips the timing framework, draws M frames of a still page, turns N pages
// and prints how many frames it drew, e.g.
//   valgrind --tool=callgrind --toggle-collect='engine::CCDirector::stepFrame*'
//            media_bench --turns=2 --software
// (under OpenGL, LP_NUM_THREADS=0 keeps llvmpipe's drawing in that thread).
#include "engine/director/CCDirector.h"
#include "engine/menu/CCMenu.h"
#include "engine/menu/CCMenuItemFont.h"
#include "engine/nodes/CCClippingNode.h"
#include "engine/nodes/CCDrawNode.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCScene.h"
#include "engine/nodes/CCSprite.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"
#include "engine/text/CCLabelTTF.h"
#include "engine/transitions/CCTransitionPageTurn.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace engine;

namespace {

constexpr float kFrame = 1.0f / 60;
constexpr double kFrameBudgetMs = 1000.0 / 60;
// The frame of a 1040-pixel-high desktop, as the book opens its window.
constexpr float kFrameWidth = 824.571f, kFrameHeight = 1008.8f;

bool openView(bool headless) {
    if (headless) setenv("SDL_VIDEODRIVER", "dummy", 1);
    CCFileUtils::sharedFileUtils()->setResourceRoot(LIRRA_SOURCE_DIR "/resources");
    CCEGLView* view = CCEGLView::sharedOpenGLView();
    view->close();
    view->setHeadless(headless);
    if (!headless) view->setRenderDriver("opengl");
    view->setFrameSize(kFrameWidth, kFrameHeight);
    view->setDesignResolutionSize(640, 960, kResolutionExactFit);
    if (!view->open()) return false;
    CCDirector::sharedDirector()->reset();
    CCDirector::sharedDirector()->setOpenGLView(view);
    return true;
}

std::string rendererName() {
    SDL_RendererInfo info;
    SDL_GetRendererInfo(CCEGLView::sharedOpenGLView()->getRenderer()->sdlRenderer(), &info);
    return info.name;
}

// --- a busy page: a full-page picture, 60 cut-out sprites of three images
// (some turned, tinted or faded), five text labels and a clipping panel, as
// much as a page of the book holds.

SDL_Surface* paintedImage(int w, int h, Uint32 seed, bool cutOut) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    auto* row = static_cast<Uint8*>(s->pixels);
    for (Uint32 y = 0; y < static_cast<Uint32>(h); ++y, row += s->pitch) {
        auto* pixels = reinterpret_cast<Uint32*>(row);
        for (Uint32 x = 0; x < static_cast<Uint32>(w); ++x) {
            // Soft bands of colour with some grain, like a painted picture.
            Uint32 grain = ((x * 73856093u) ^ (y * 19349663u) ^ seed) & 15u;
            Uint32 r = (x * 255u / w + seed) & 255u, g = (y * 255u / h + 2u * seed) & 255u,
                   b = ((x + y) * 128u / (w + h) + 96u + grain) & 255u;
            bool inside = !cutOut || (x > w / 8u && x < w - w / 8u && y > h / 8u && y < h - h / 8u);
            pixels[x] = (inside ? 0xff000000u : 0u) | r << 16 | g << 8 | b;
        }
    }
    return s;
}

struct PageImages {
    std::vector<CCTexture2D*> textures; // retained: background, then three pictures
    void make() {
        textures = {CCTexture2D::createWithSurface(paintedImage(640, 960, 11, false)),
                    CCTexture2D::createWithSurface(paintedImage(128, 128, 57, true)),
                    CCTexture2D::createWithSurface(paintedImage(96, 64, 101, true)),
                    CCTexture2D::createWithSurface(paintedImage(200, 150, 167, true))};
        for (CCTexture2D* t : textures)
            t->retain();
    }
    void drop() {
        for (CCTexture2D* t : textures)
            t->release();
        textures.clear();
    }
};
PageImages g_images;

CCScene* busyPage(unsigned int seed) {
    CCScene* scene = CCScene::create();
    CCSprite* background = CCSprite::createWithTexture(g_images.textures[0]);
    background->setPosition(ccp(320, 480));
    scene->addChild(background);
    auto next = [&seed](float lo, float hi) {
        seed = seed * 1103515245u + 12345u;
        return lo + (hi - lo) * ((seed >> 8) & 0xffff) / 65535.0f;
    };
    for (int i = 1; i < 60; ++i) {
        CCSprite* sprite = CCSprite::createWithTexture(g_images.textures[1 + (i / 7) % 3]);
        sprite->setPosition(ccp(next(40, 600), next(40, 920)));
        sprite->setScale(next(0.5f, 1.3f));
        if (i % 3 == 0) sprite->setRotation(next(-40, 40));
        if (i % 4 == 0) sprite->setColor(ccc3(255, 200, 120));
        if (i % 5 == 0) sprite->setOpacity(180);
        scene->addChild(sprite);
    }
    for (int i = 0; i < 5; ++i) {
        CCLabelTTF* label =
            CCLabelTTF::create(i == 0 ? "The fox and the crow" : "a word to read", "Arial", i == 0 ? 40 : 28);
        label->setColor(ccc3(40, 30, 20));
        label->setPosition(ccp(320, 900 - 120 * i));
        scene->addChild(label);
    }
    CCDrawNode* stencil = CCDrawNode::create();
    CCPoint box[4] = {ccp(0, 0), ccp(400, 0), ccp(400, 160), ccp(0, 160)};
    stencil->drawPolygon(box, 4, ccc4f(1, 1, 1, 1), 0, ccc4f(0, 0, 0, 0));
    CCClippingNode* panel = CCClippingNode::create(stencil);
    panel->setPosition(ccp(120, 60));
    for (int i = 0; i < 6; ++i) {
        CCSprite* sprite = CCSprite::createWithTexture(g_images.textures[1]);
        sprite->setPosition(ccp(-20 + 90 * i, 80));
        panel->addChild(sprite);
    }
    scene->addChild(panel);
    return scene;
}

// --- the page turn, frame by frame

struct TurnFrames {
    std::vector<double> milliseconds; // each frame drawn while the transition runs
    CCSDLRenderer::Stats stats;       // summed over those frames
};

// Turns from the running page to a new busy one, alternating directions as
// a reader going back and forth would, and times each frame.
TurnFrames turnPage(unsigned int seed) {
    static bool backwards = false;
    CCDirector* director = CCDirector::sharedDirector();
    CCSDLRenderer* renderer = CCEGLView::sharedOpenGLView()->getRenderer();
    director->replaceScene(CCTransitionPageTurn::create(0.5f, busyPage(seed), backwards));
    backwards = !backwards;
    TurnFrames turn;
    turn.milliseconds.reserve(40);
    CCSDLRenderer::Stats sum;
    // The replacement takes effect in the first frame; the transition hands
    // over in the frame its time is up, which is still drawn by it.
    for (int frame = 0; frame < 120; ++frame) {
        renderer->resetStats();
        auto start = std::chrono::steady_clock::now();
        director->stepFrame(kFrame);
        auto end = std::chrono::steady_clock::now();
        turn.milliseconds.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        const CCSDLRenderer::Stats& stats = renderer->getStats();
        sum.drawCalls += stats.drawCalls;
        sum.quads += stats.quads;
        sum.copies += stats.copies;
        sum.flushes += stats.flushes;
        sum.textureChanges += stats.textureChanges;
        if (!director->getRunningScene()->isTransition()) break;
    }
    turn.stats = sum;
    return turn;
}

void startBook() {
    CCDirector::sharedDirector()->runWithScene(busyPage(1));
    CCDirector::sharedDirector()->stepFrame(kFrame);
}

void BM_StillPage(benchmark::State& state) {
    startBook();
    CCSDLRenderer* renderer = CCEGLView::sharedOpenGLView()->getRenderer();
    for (auto _ : state) {
        renderer->resetStats();
        CCDirector::sharedDirector()->stepFrame(kFrame);
    }
    state.counters["draw_calls"] = renderer->getStats().drawCalls;
}

void BM_PageTurn(benchmark::State& state) {
    startBook();
    unsigned int seed = 2;
    double frames = 0, worst = 0, total = 0;
    CCSDLRenderer::Stats stats;
    for (auto _ : state) {
        TurnFrames turn = turnPage(seed++);
        double sum = 0;
        for (double ms : turn.milliseconds) {
            sum += ms;
            worst = std::max(worst, ms);
        }
        frames += static_cast<double>(turn.milliseconds.size());
        total += sum;
        stats = turn.stats;
        state.SetIterationTime(sum / 1000.0);
    }
    int perTurn = static_cast<int>(frames / static_cast<double>(state.iterations()));
    state.counters["frame_ms"] = total / frames;
    state.counters["worst_frame_ms"] = worst;
    state.counters["frames"] = perTurn;
    state.counters["draw_calls_per_frame"] = static_cast<double>(stats.drawCalls) / perTurn;
    state.counters["texture_changes_per_frame"] = static_cast<double>(stats.textureChanges) / perTurn;
}

// Keeps the per-frame numbers to print the ratios at the end.
class TurnReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            std::string name = run.benchmark_name();
            name = name.substr(0, name.rfind('/')); // less "/real_time" or "/manual_time"
            std::map<std::string, double>& row = results[name];
            row["time_ms"] = run.GetAdjustedRealTime(); // both are timed in milliseconds
            for (const auto& [name, counter] : run.counters)
                row[name] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, std::map<std::string, double>> results;
};

void BM_MenuScreenFrame(benchmark::State& state) {
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
    for (auto _ : state)
        director->stepFrame(kFrame);
    state.counters["rasters_after_first_frame"] =
        static_cast<double>(CCLabelTTF::totalRasterCount() - rastersBefore);
}

// Turns `turns` pages without the timing framework, for profilers.
int profileTurns(int turns, int still) {
    startBook();
    for (int i = 0; i < still; ++i)
        CCDirector::sharedDirector()->stepFrame(kFrame);
    long frames = 0;
    for (int i = 0; i < turns; ++i)
        frames += static_cast<long>(turnPage(static_cast<unsigned int>(i + 2)).milliseconds.size());
    std::printf("%s: %d still frames, %d page turns of %ld frames\n", rendererName().c_str(), still, turns,
                frames);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    int profile = 0, still = 0;
    bool onlySoftware = false, onlyOpenGL = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--turns=", 8) == 0) profile = std::atoi(argv[i] + 8);
        if (std::strncmp(argv[i], "--still=", 8) == 0) still = std::atoi(argv[i] + 8);
        if (std::strcmp(argv[i], "--software") == 0) onlySoftware = true;
        if (std::strcmp(argv[i], "--opengl") == 0) onlyOpenGL = true;
    }
    benchmark::Initialize(&argc, argv);
    TurnReporter reporter;
    std::vector<std::string> names;
    for (bool headless : {true, false}) {
        if ((headless && onlyOpenGL) || (!headless && onlySoftware)) continue;
        if (!headless && !std::getenv("DISPLAY")) {
            std::printf(
                "DISPLAY is not set: no OpenGL run (run under xvfb-run -a -s '-screen 0 1280x1024x24')\n");
            continue;
        }
        if (!openView(headless)) {
            std::printf("no %s renderer here\n", headless ? "software" : "OpenGL");
            continue;
        }
        g_images.make();
        std::string name = rendererName();
        if (profile > 0 || still > 0) {
            profileTurns(profile, still);
        } else {
            names.push_back(name);
            benchmark::RegisterBenchmark((name + "/still_page").c_str(), BM_StillPage)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark((name + "/page_turn").c_str(), BM_PageTurn)
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime();
            if (headless)
                benchmark::RegisterBenchmark("software/menu_screen", BM_MenuScreenFrame)
                    ->Unit(benchmark::kMicrosecond)
                    ->UseRealTime();
            benchmark::RunSpecifiedBenchmarks(&reporter);
            benchmark::ClearRegisteredBenchmarks();
        }
        CCDirector::sharedDirector()->reset();
        g_images.drop();
        CCEGLView::sharedOpenGLView()->close();
    }
    for (const std::string& name : names) {
        auto& still = reporter.results[name + "/still_page"];
        auto& turn = reporter.results[name + "/page_turn"];
        if (still.empty() || turn.empty()) continue;
        double frame = turn["frame_ms"], worst = turn["worst_frame_ms"], stillMs = still["time_ms"];
        std::printf("%s page turn: %.2f ms a frame (%.0f frames per second), %.2f x a still page's %.2f ms, "
                    "%.2f x 16.7 ms; worst frame %.2f ms (%.2f x 16.7 ms); %.0f draw calls a frame\n",
                    name.c_str(), frame, 1000.0 / frame, frame / stillMs, stillMs, frame / kFrameBudgetMs,
                    worst, worst / kFrameBudgetMs, turn["draw_calls_per_frame"]);
    }
    benchmark::Shutdown();
    return 0;
}
