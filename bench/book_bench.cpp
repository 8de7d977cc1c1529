// The book's two waits that a child notices, each beside its baseline in one
// run:
//  - from the press on word learning to the first drawn frame of the page
//    (configuration, page build, layout read, first frame), against reading
//    and parsing the same page layout with jsoncpp alone; prints the ratio;
//  - from a touch on a word to the first mixed audio buffer that carries its
//    narration (the reader's mixer on SDL's dummy audio driver, real time), and to its
//    first audible sample: the time that buffer was mixed plus the sample's
//    place in it, where the first sample at or above -40 dBFS lies (leading
//    silence and the decoder's delay count, near-silence does not).
//
// Reads the sample book in resources/ when it is there, else the small
// end-to-end book of tests/data/book (with narration made by espeak-ng and
// lame in a temporary copy).
#include "RatioReporter.h"
#include "ShowScene.h"
#include "book/BookNames.h"
#include "book/BookState.h"
#include "book/PageLayer.h"
#include "book/TestController.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/platform/HeadlessRun.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"

#include "engine/audio/MixerDevice.h"
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <json/json.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>

using namespace engine;

namespace {

std::string g_copy; // temporary copy of the small book, removed at the end
std::atomic<bool> g_heard{false};
// Nanoseconds on the steady clock when the first audible sample was mixed; 0
// before.
std::atomic<long long> g_audibleAt{0};
int g_samplesPerSecond = 0; // frames per second times channels

void listen(const Uint8* stream, int length) {
    for (int i = 0; i < length; ++i)
        if (stream[i] != 0) {
            g_heard = true;
            return;
        }
}

// The mixer's output is 16-bit: -40 dBFS is 328.
void listenForAudible(const Uint8* stream, int length) {
    if (g_audibleAt != 0) return;
    const auto* samples = reinterpret_cast<const Sint16*>(stream);
    for (int i = 0; i < length / 2; ++i)
        if (samples[i] >= 328 || samples[i] <= -328) {
            auto now = std::chrono::steady_clock::now().time_since_epoch();
            long long offset = static_cast<long long>(i) * 1000000000LL / g_samplesPerSecond;
            g_audibleAt = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() + offset;
            return;
        }
}

std::string chooseBook() {
    std::string sample = std::string(LIRRA_SOURCE_DIR) + "/resources";
    if (std::filesystem::exists(sample + "/testLirra/StringConfig.xml")) return sample;
    g_copy = (std::filesystem::temp_directory_path() / "lirra_book_bench").string();
    std::filesystem::remove_all(g_copy);
    std::filesystem::copy(std::string(LIRRA_SOURCE_DIR) + "/tests/data/book", g_copy,
                          std::filesystem::copy_options::recursive);
    std::string narration = g_copy + "/" + book::narrationPath("testLirra", book::soundName(11, 1));
    std::filesystem::create_directories(std::filesystem::path(narration).parent_path());
    std::string make = "espeak-ng -w '" + g_copy + "/w.wav' sun 2>/dev/null && lame --quiet '" + g_copy +
                       "/w.wav' '" + narration + "'";
    if (std::system(make.c_str()) != 0) std::printf("no narration made (espeak-ng, lame)\n");
    return g_copy;
}

void showHome() {
    CCScene* scene = CCScene::create();
    auto* home = new book::TestController();
    scene->addChild(home);
    home->release();
    showScene(scene);
}

CCPoint widgetPoint(gui::UIWidget* widget) {
    return widget->getRenderer()->convertToWorldSpace(CCPointZero);
}

gui::UIWidget* homeButton(const char* name) {
    auto* home = dynamic_cast<book::TestController*>(
        CCDirector::sharedDirector()->getRunningScene()->getChildren()[0]);
    return home ? gui::UIToolkit::findWidgetByName(home->getUILayer()->getRootWidget(), name) : nullptr;
}

void BM_ParsePageLayoutWithJsoncpp(benchmark::State& state) {
    book::readBookConfiguration();
    std::string name = book::pageLayoutPath(book::bookDir, book::subName, book::wordMin);
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    for (auto _ : state) {
        std::optional<std::string> text = CCFileUtils::sharedFileUtils()->getFileData(name);
        if (!text) {
            state.SkipWithError("no page layout");
            break;
        }
        Json::Value document;
        std::string errors;
        reader->parse(text->data(), text->data() + text->size(), &document, &errors);
        benchmark::DoNotOptimize(document);
    }
}

void BM_WordLearningToFirstFrame(benchmark::State& state) {
    CCDirector* director = CCDirector::sharedDirector();
    for (auto _ : state) {
        state.PauseTiming();
        showHome();
        gui::UIWidget* button = homeButton("bnwordlean");
        if (!button) {
            state.SkipWithError("no word-learning button");
            break;
        }
        CCPoint press = widgetPoint(button);
        state.ResumeTiming();
        director->getTouchDispatcher()->touchBegan(0, press);
        director->stepFrame(1.0f / 60); // the page takes over and is drawn
        state.PauseTiming();
        if (!dynamic_cast<book::PageLayer*>(director->getRunningScene()->getChildren()[0]))
            state.SkipWithError("word learning opened no page");
        director->getTouchDispatcher()->touchEnded(0, press);
        CCAutoreleasePool::sharedPool()->drain();
        state.ResumeTiming();
    }
}

// Opens word learning from the home page; answers the first page's word 1
// (and its page), or none with the benchmark skipped.
gui::UIWidget* openFirstWord(benchmark::State& state, book::PageLayer*& page) {
    CCDirector* director = CCDirector::sharedDirector();
    showHome();
    director->getTouchDispatcher()->touchBegan(0, widgetPoint(homeButton("bnwordlean")));
    director->stepFrame(1.0f / 60);
    director->getTouchDispatcher()->touchEnded(0, CCPointZero);
    page = dynamic_cast<book::PageLayer*>(director->getRunningScene()->getChildren()[0]);
    gui::UIWidget* word = page ? gui::UIToolkit::findWidgetByName(page->getUILayer()->getRootWidget(),
                                                                  book::hotspotName(book::currentPage, 1))
                               : nullptr;
    if (!word) state.SkipWithError("the first page has no word 1");
    return word;
}

void BM_WordTouchToFirstAudioBuffer(benchmark::State& state) {
    book::PageLayer* page = nullptr;
    gui::UIWidget* word = openFirstWord(state, page);
    if (!word) return;
    SimpleAudioEngine* audio = SimpleAudioEngine::sharedEngine();
    audio->stopBackgroundMusic(); // opens the device, so the listener can attach
    for (auto _ : state) {
        audio->stopBackgroundMusic();
        MixerDevice::setListener(listen);
        g_heard = false;
        auto start = std::chrono::steady_clock::now();
        page->onWordTouched(word, 0);
        auto limit = start + std::chrono::seconds(2);
        while (!g_heard && std::chrono::steady_clock::now() < limit)
            SDL_Delay(0);
        auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!g_heard) {
            state.SkipWithError("no narration reached the mixer");
            break;
        }
        state.SetIterationTime(seconds);
    }
    MixerDevice::setListener(nullptr);
    audio->stopBackgroundMusic();
}

void BM_WordTouchToFirstAudibleSample(benchmark::State& state) {
    book::PageLayer* page = nullptr;
    gui::UIWidget* word = openFirstWord(state, page);
    if (!word) return;
    SimpleAudioEngine* audio = SimpleAudioEngine::sharedEngine();
    audio->stopBackgroundMusic(); // opens the device, so the listener can attach
    g_samplesPerSecond = MixerDevice::kFrequency * MixerDevice::kChannels; // 16-bit samples
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> phase(0.0, MixerDevice::bufferSeconds());
    for (auto _ : state) {
        audio->stopBackgroundMusic();
        g_audibleAt = 0;
        MixerDevice::setListener(listenForAudible);
        // A child's touch falls anywhere in the device's buffer period.
        std::this_thread::sleep_for(std::chrono::duration<double>(phase(random)));
        auto start = std::chrono::steady_clock::now();
        page->onWordTouched(word, 0);
        auto limit = start + std::chrono::seconds(2);
        while (g_audibleAt == 0 && std::chrono::steady_clock::now() < limit)
            SDL_Delay(0);
        MixerDevice::setListener(nullptr);
        if (g_audibleAt == 0) {
            state.SkipWithError("no audible narration reached the mixer");
            break;
        }
        long long began =
            std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
        state.SetIterationTime(static_cast<double>(g_audibleAt - began) / 1e9);
    }
    audio->stopBackgroundMusic();
}

BENCHMARK(BM_ParsePageLayoutWithJsoncpp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WordLearningToFirstFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordTouchToFirstAudioBuffer)->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordTouchToFirstAudibleSample)->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    CCLogSetEchoToStderr(false);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::string root = chooseBook();
    std::printf("book: %s\n", root.c_str());
    CCFileUtils::sharedFileUtils()->setResourceRoot(root);
    if (!HeadlessRun::openView({640, 960}, {640, 960})) {
        std::printf("cannot open a headless view\n");
        return 1;
    }

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Both in the reporter's unit of each benchmark: microseconds and milliseconds.
    double parse = reporter.times["BM_ParsePageLayoutWithJsoncpp"];
    double page = reporter.times["BM_WordLearningToFirstFrame"];
    if (parse > 0 && page > 0)
        std::printf("word learning to first frame / jsoncpp parse of the page: %.1f\n", page * 1000 / parse);

    CCDirector::sharedDirector()->reset();
    SimpleAudioEngine::end();
    CCEGLView::sharedOpenGLView()->close();
    if (!g_copy.empty()) std::filesystem::remove_all(g_copy);
    return 0;
}
