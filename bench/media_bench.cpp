// Frame costs of the engine's media:
// - a page-curl transition between two real pages of the sample book (pages 3
//   and 4: a sprite-sheet page and a pictured one, back and forth), frame by
//   frame, on SDL's software renderer (headless) and, when DISPLAY is set, on
//   the OpenGL renderer in a window (llvmpipe on the CPU under Xvfb); each
//   printed as a ratio to a still page's frame and to the 16.7 ms of a 60 Hz
//   frame;
// - a screen of 20 menu items with labels, which must not be rasterised
//   again frame after frame (the benchmark reads the labels' raster counter).
//
// For profilers, `media_bench --turns=N [--still=M] [--software|--opengl]`
// skips the timing framework, draws M frames of a still page, turns N pages
// and prints each turn's frame times, e.g.
//   valgrind --tool=callgrind --toggle-collect='engine::CCDirector::stepFrame*'
//            media_bench --turns=2 --software
// (under OpenGL, LP_NUM_THREADS=0 keeps llvmpipe's drawing in that thread).
// With --dump-frames under callgrind every frame is dumped on its own
// ("still" or "turn"), which bench/frame_instructions.sh sums per frame:
// instruction counts hold on a loaded machine where times do not.
#include "ShowScene.h"
#include "book/BookState.h"
#include "book/PageLayer.h"
#include "book/TestController.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/director/CCDirector.h"
#include "engine/menu/CCMenu.h"
#include "engine/menu/CCMenuItemFont.h"
#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/text/CCLabelTTF.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

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
bool dumpFrames = false; // each frame a callgrind dump of its own

void startFrameCount() {
    if (dumpFrames) CALLGRIND_ZERO_STATS;
}
void endFrameCount(const char* kind) {
    if (dumpFrames) CALLGRIND_DUMP_STATS_AT(kind);
}
constexpr double kFrameBudgetMs = 1000.0 / 60;
// The frame of a 1040-pixel-high desktop, as the book opens its window.
constexpr float kFrameWidth = 824.571f, kFrameHeight = 1008.8f;

// The sample book's pages that the turn goes between.
constexpr int kFirstPage = 3, kSecondPage = 4;

bool openView(bool headless) {
    // The headless pass names the dummy driver; the window pass must not inherit it.
    static const std::string outerDriver =
        std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "";
    if (headless)
        setenv("SDL_VIDEODRIVER", "dummy", 1);
    else if (outerDriver.empty())
        unsetenv("SDL_VIDEODRIVER");
    else
        setenv("SDL_VIDEODRIVER", outerDriver.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
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
    book::resetBookState();
    book::readBookConfiguration();
    return book::pageMin <= kFirstPage && kSecondPage <= book::pageMax;
}

std::string rendererName() {
    SDL_RendererInfo info;
    SDL_GetRendererInfo(CCEGLView::sharedOpenGLView()->getRenderer()->sdlRenderer(), &info);
    return info.name;
}

// --- the page turn, frame by frame

struct TurnFrames {
    std::vector<double> milliseconds; // each frame drawn while the transition runs
    CCSDLRenderer::Stats stats;       // summed over those frames
};

book::PageLayer* runningPage() {
    CCScene* scene = CCDirector::sharedDirector()->getRunningScene();
    if (!scene || scene->isTransition() || CCDirector::sharedDirector()->getNextScene()) return nullptr;
    for (CCNode* child : scene->getChildren())
        if (auto* page = dynamic_cast<book::PageLayer*>(child)) return page;
    return nullptr;
}

// Turns from the page on screen to the other one, forwards from the first
// and back from the second, as the reader's own next and previous items do,
// and times each frame.
TurnFrames turnPage() {
    CCDirector* director = CCDirector::sharedDirector();
    CCSDLRenderer* renderer = CCEGLView::sharedOpenGLView()->getRenderer();
    TurnFrames turn;
    book::PageLayer* page = runningPage();
    if (!page) return turn;
    turn.milliseconds.reserve(40);
    CCSDLRenderer::Stats sum;
    // The replacement takes effect in the first frame; the transition hands
    // over in the frame its time is up, which is still drawn by it. The
    // first frame also pays for building the next page, as the frame in
    // which a reader's touch arrives does.
    for (int frame = 0; frame < 120; ++frame) {
        renderer->resetStats();
        startFrameCount();
        auto start = std::chrono::steady_clock::now();
        if (frame == 0 && book::currentPage == kFirstPage)
            page->goNextPage(nullptr);
        else if (frame == 0)
            page->goPreviousPage(nullptr);
        director->stepFrame(kFrame);
        auto end = std::chrono::steady_clock::now();
        endFrameCount("turn");
        turn.milliseconds.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        const CCSDLRenderer::Stats& stats = renderer->getStats();
        sum.drawCalls += stats.drawCalls;
        sum.quads += stats.quads;
        sum.copies += stats.copies;
        sum.flushes += stats.flushes;
        sum.textureChanges += stats.textureChanges;
        if (runningPage()) break;
    }
    // A driver may still be drawing queued frames: reading a pixel back
    // waits for them, and that wait counts towards the last frame.
    auto start = std::chrono::steady_clock::now();
    Uint32 pixel = 0;
    SDL_Rect corner{0, 0, 1, 1};
    SDL_RenderReadPixels(renderer->sdlRenderer(), &corner, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
    turn.milliseconds.back() +=
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    turn.stats = sum;
    return turn;
}

// The first page on screen, its entrance over.
void startBook() {
    CCDirector* director = CCDirector::sharedDirector();
    if (!director->getRunningScene()) director->runWithScene(CCScene::create());
    book::currentPage = kFirstPage;
    book::TestController::openPageScene();
    for (int i = 0; i < 120 && !runningPage(); ++i)
        director->stepFrame(kFrame);
    director->stepFrame(kFrame);
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
    double frames = 0, worst = 0, total = 0, first = 0, rest = 0;
    CCSDLRenderer::Stats stats;
    for (auto _ : state) {
        TurnFrames turn = turnPage();
        if (turn.milliseconds.empty()) {
            state.SkipWithError("no page on screen");
            break;
        }
        double sum = 0;
        for (double ms : turn.milliseconds) {
            sum += ms;
            worst = std::max(worst, ms);
        }
        first += turn.milliseconds.front();
        rest = std::max(rest, *std::max_element(turn.milliseconds.begin() + 1, turn.milliseconds.end()));
        frames += static_cast<double>(turn.milliseconds.size());
        total += sum;
        stats = turn.stats;
        state.SetIterationTime(sum / 1000.0);
    }
    int perTurn = static_cast<int>(frames / static_cast<double>(state.iterations()));
    state.counters["frame_ms"] = total / frames;
    state.counters["worst_frame_ms"] = worst;
    // The first frame builds the next page and draws both into textures.
    state.counters["first_frame_ms"] = first / static_cast<double>(state.iterations());
    state.counters["worst_later_frame_ms"] = rest;
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
    showScene(scene); // the first frame rasterises every label once
    long rastersBefore = CCLabelTTF::totalRasterCount();
    for (auto _ : state)
        director->stepFrame(kFrame);
    state.counters["rasters_after_first_frame"] =
        static_cast<double>(CCLabelTTF::totalRasterCount() - rastersBefore);
}

// Turns `turns` pages without the timing framework, for profilers.
int profileTurns(int turns, int still) {
    startBook();
    for (int i = 0; i < still; ++i) {
        startFrameCount();
        CCDirector::sharedDirector()->stepFrame(kFrame);
        endFrameCount("still");
    }
    long frames = 0;
    for (int i = 0; i < turns; ++i) {
        TurnFrames turn = turnPage();
        frames += static_cast<long>(turn.milliseconds.size());
        // Where in the turn the time goes: the bend's size changes with progress.
        std::printf("turn %d, ms a frame:", i + 1);
        for (double ms : turn.milliseconds)
            std::printf(" %.1f", ms);
        std::printf("\n");
    }
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
        if (std::strcmp(argv[i], "--dump-frames") == 0) dumpFrames = true;
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
            std::printf("no %s renderer here, or no sample book with pages %d and %d in resources/\n",
                        headless ? "software" : "OpenGL", kFirstPage, kSecondPage);
            CCEGLView::sharedOpenGLView()->close();
            continue;
        }
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
        SimpleAudioEngine::end();
        CCEGLView::sharedOpenGLView()->close();
    }
    for (const std::string& name : names) {
        auto& still = reporter.results[name + "/still_page"];
        auto& turn = reporter.results[name + "/page_turn"];
        if (still.empty() || turn.empty()) continue;
        double frame = turn["frame_ms"], worst = turn["worst_frame_ms"], stillMs = still["time_ms"];
        std::printf("%s page turn: %.2f ms a frame (%.0f frames per second), %.2f x a still page's %.2f ms, "
                    "%.2f x 16.7 ms; worst frame %.2f ms (%.2f x 16.7 ms); first frame %.2f ms, worst later "
                    "frame %.2f ms; %.0f draw calls a frame\n",
                    name.c_str(), frame, 1000.0 / frame, frame / stillMs, stillMs, frame / kFrameBudgetMs,
                    worst, worst / kFrameBudgetMs, turn["first_frame_ms"], turn["worst_later_frame_ms"],
                    turn["draw_calls_per_frame"]);
    }
    benchmark::Shutdown();
    return 0;
}
