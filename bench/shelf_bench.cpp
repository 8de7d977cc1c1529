// The shelf at scale: 500 small books (one made book packed 500 times as
// .lirra files, each with its own title and colour) in a temporary folder.
//
//   shelfOpensWithCoversCached   finding the books, building the shelf and
//                                drawing its first frame, every cover in the
//                                cache (target: at most 1 s)
//   shelfScrollFrames            one frame of the shelf scrolled 12 points,
//                                down through all 167 rows and back; the
//                                slowest frame is reported (target: every
//                                frame under 16.7 ms)
//   firstCoversFrames            frames of the shelf while its covers are
//                                made the first time (each by the reader in
//                                a child process): the slowest frame, and
//                                the seconds each cover takes
//   peakMemoryShelfVsOneBook     the peak resident memory of the reader
//                                (--headless) on the shelf, dragged from top
//                                to bottom, minus that on one of its books
//                                (target: at most 30 MiB more)
//
// Times are wall times: say whether the machine was quiet or loaded.
#include "ShowScene.h"
#include "book/BookState.h"
#include "book/PictureCache.h"
#include "book/PictureMaker.h"
#include "book/Shelf.h"
#include "book/ShelfLayer.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/HeadlessRun.h"
#include "engine/render/CCTextureCache.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace engine;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kBooks = 500;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string plist(const std::map<std::string, std::string>& entries) {
    std::string body;
    for (const auto& [key, value] : entries)
        body += "<key>" + key + "</key><string>" + value + "</string>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>" + body +
           "</dict></plist>";
}

std::string panel(int r, int g, int b, const std::string& children) {
    char head[400];
    std::snprintf(head, sizeof head,
                  "{\"version\":\"1.0.0.0\",\"designWidth\":640,\"designHeight\":960,\"widgetTree\":"
                  "{\"classname\":\"Panel\",\"options\":{\"name\":\"root\",\"x\":0,\"y\":0,\"width\":640,"
                  "\"height\":960,\"anchorPointX\":0,\"anchorPointY\":0,\"colorType\":1,\"bgColorR\":%d,"
                  "\"bgColorG\":%d,\"bgColorB\":%d,\"bgColorOpacity\":255},\"children\":[",
                  r, g, b);
    return head + children + "]}}";
}

std::string label(const std::string& name, const std::string& text, int x, int y) {
    return "{\"classname\":\"Label\",\"options\":{\"name\":\"" + name + "\",\"x\":" + std::to_string(x) +
           ",\"y\":" + std::to_string(y) + ",\"text\":\"" + text +
           "\",\"fontName\":\"Arial\",\"fontSize\":48,\"colorR\":255,\"colorG\":255,\"colorB\":255}}";
}

// The files of small book `n`: a coloured home page with its title, one page.
std::map<std::string, std::string> bookFiles(int n) {
    const std::string title = "Book " + std::to_string(n);
    std::map<std::string, std::string> files;
    files["testLirra/StringConfig.xml"] = plist({{"lirraTitle", title},
                                                 {"lirraSubName", "tb"},
                                                 {"pageMin", "1"},
                                                 {"pageMax", "1"},
                                                 {"wordMin", "-1"},
                                                 {"wordMax", "-1"},
                                                 {"ispep", "false"},
                                                 {"textsize", "25"}});
    files["String.xml"] = plist({{"main_page", "Home"},
                                 {"setmenu_set", "Set"},
                                 {"bntext", "Hint"},
                                 {"nopresenglish", "No"},
                                 {"up_page", "Back"},
                                 {"after_page", "More"}});
    files["testLirra/Stringstr.xml"] = plist({});
    files["mainpage/mainpage_1.json"] =
        panel(40 + n * 37 % 200, 60 + n * 53 % 180, 90 + n * 71 % 160, label("title", title, 320, 600));
    files["testLirra/tb/tb_1.json"] = panel(230, 230, 230, label("words", "A page", 320, 480));
    return files;
}

bool writeArchive(const std::string& path, const std::map<std::string, std::string>& files) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) return false;
    for (const auto& [name, bytes] : files) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        if (!source || zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

struct Shelf {
    fs::path folder, shelf, cache;
    bool ok = false;
};

// The 500 books, and (when `cached`) every cover in the cache: one cover
// really drawn by the reader, the same picture under each book's key.
Shelf& madeShelf() {
    static Shelf made = [] {
        Shelf s;
        s.folder = fs::temp_directory_path() / ("lirra_shelf_bench_" + std::to_string(::getpid()));
        s.shelf = s.folder / "shelf";
        s.cache = s.folder / "cache";
        fs::create_directories(s.shelf);
        for (int n = 0; n < kBooks; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "book-%03d.lirra", n);
            if (!writeArchive((s.shelf / name).string(), bookFiles(n))) return s;
        }
        s.ok = true;
        return s;
    }();
    return made;
}

void cacheEveryCover(const Shelf& s) {
    book::pictures::setCacheFolder((s.cache / "covers").string());
    const std::vector<book::ShelfBook> books = book::shelf::findBooks({s.shelf.string()});
    const std::string first = *book::pictures::keyOf(books[0].path);
    if (!book::pictures::hasCover(first)) {
        const std::string command = std::string(LIRRA_BINARY) + " --make-pictures '" + books[0].path +
                                    "' --into '" + book::pictures::fileFor(first, "") + "' 2>/dev/null";
        if (std::system(command.c_str()) != 0) return;
    }
    for (const book::ShelfBook& b : books) {
        const std::string key = *book::pictures::keyOf(b.path);
        std::error_code error;
        if (!book::pictures::hasCover(key))
            fs::copy_file(book::pictures::coverFile(first), book::pictures::coverFile(key), error);
        book::pictures::writeWhole(book::pictures::fileFor(key, ".title"), b.title);
    }
}

book::ShelfLayer* showShelf() {
    book::shelf::setBooks(book::shelf::findBooks({madeShelf().shelf.string()}));
    CCScene* scene = CCScene::create();
    auto* layer = new book::ShelfLayer();
    scene->addChild(layer);
    layer->release();
    showScene(scene);
    return layer;
}

bool openView() {
    HeadlessRun::startVirtualTime();
    return HeadlessRun::openView({640, 960}, {640, 960});
}

void closeView() {
    CCDirector::sharedDirector()->reset();
    CCTextureCache::sharedTextureCache()->removeAllTextures();
    CCEGLView::sharedOpenGLView()->close();
    book::pictures::PictureMaker::shared().cancelAll();
    book::pictures::PictureMaker::shared().setProgram("");
    HeadlessRun::endVirtualTime();
}

void shelfOpensWithCoversCached(benchmark::State& state) {
    Shelf& s = madeShelf();
    if (!s.ok || !openView()) return state.SkipWithError("no shelf or no view");
    cacheEveryCover(s);
    double slowest = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        book::ShelfLayer* layer = showShelf();
        const double ms = msSince(start);
        slowest = std::max(slowest, ms);
        state.SetIterationTime(ms / 1000);
        if (layer->coverLook(0) != book::ShelfLayer::CoverLook::Picture)
            state.SkipWithError("no cached cover");
    }
    state.counters["slowest_ms"] = slowest;
    state.counters["books"] = kBooks;
    closeView();
}
BENCHMARK(shelfOpensWithCoversCached)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void shelfScrollFrames(benchmark::State& state) {
    Shelf& s = madeShelf();
    if (!s.ok || !openView()) return state.SkipWithError("no shelf or no view");
    cacheEveryCover(s);
    book::ShelfLayer* layer = showShelf();
    std::vector<double> frames;
    for (auto _ : state) {
        frames.clear();
        for (int direction : {1, -1}) {
            const float end = direction > 0 ? 1e9f : 0;
            float last = -1;
            while (true) {
                const Clock::time_point start = Clock::now();
                layer->scrollCovers(12.0f * direction);
                CCDirector::sharedDirector()->stepFrame(1.0f / 60);
                frames.push_back(msSince(start));
                const float at = layer->scrolled();
                if (at == last || (direction < 0 && at <= end)) break;
                last = at;
            }
        }
    }
    std::sort(frames.begin(), frames.end());
    double sum = 0;
    for (double f : frames)
        sum += f;
    state.counters["frames"] = static_cast<double>(frames.size());
    state.counters["mean_ms"] = sum / static_cast<double>(frames.size());
    state.counters["p99_ms"] = frames[frames.size() * 99 / 100];
    state.counters["slowest_ms"] = frames.back();
    state.counters["over_16.7ms"] = static_cast<double>(
        std::count_if(frames.begin(), frames.end(), [](double f) { return f > 1000.0 / 60; }));
    closeView();
}
BENCHMARK(shelfScrollFrames)->Iterations(1)->Unit(benchmark::kMillisecond);

void firstCoversFrames(benchmark::State& state) {
    Shelf& s = madeShelf();
    if (!s.ok || !openView()) return state.SkipWithError("no shelf or no view");
    const int covers = static_cast<int>(state.range(0));
    std::vector<double> frames;
    double seconds = 0;
    for (auto _ : state) {
        // A cache of its own, empty: every cover is made the first time.
        fs::remove_all(s.cache / "first");
        book::pictures::setCacheFolder((s.cache / "first").string());
        book::pictures::PictureMaker& maker = book::pictures::PictureMaker::shared();
        maker.setProgram(LIRRA_BINARY);
        const unsigned before = maker.finished();
        book::ShelfLayer* layer = showShelf();
        const Clock::time_point start = Clock::now();
        while (maker.finished() - before < static_cast<unsigned>(covers)) {
            const Clock::time_point frame = Clock::now();
            CCDirector::sharedDirector()->stepFrame(1.0f / 60);
            frames.push_back(msSince(frame));
            // Frames come at the window's pace, not as fast as they can.
            const double left = 1000.0 / 60 - msSince(frame);
            if (left > 0) SDL_Delay(static_cast<Uint32>(left));
        }
        seconds = msSince(start) / 1000;
        benchmark::DoNotOptimize(layer->progressText());
        state.counters["progress_shown"] = layer->progressText().empty() ? 0 : 1;
        maker.cancelAll();
    }
    std::sort(frames.begin(), frames.end());
    state.counters["covers"] = covers;
    state.counters["s_per_cover"] = seconds / covers;
    state.counters["frames"] = static_cast<double>(frames.size());
    state.counters["p99_frame_ms"] = frames[frames.size() * 99 / 100];
    state.counters["slowest_frame_ms"] = frames.back();
    closeView();
}
BENCHMARK(firstCoversFrames)->Arg(500)->Iterations(1)->Unit(benchmark::kMillisecond);

// Peak resident KiB of `lirra --headless ARGS`, or 0.
long peakKiB(const std::vector<std::string>& arguments) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> argv;
        std::string program = LIRRA_BINARY;
        argv.push_back(program.data());
        std::vector<std::string> copy = arguments;
        for (std::string& a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execv(LIRRA_BINARY, argv.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return 0;
    return usage.ru_maxrss;
}

void peakMemoryShelfVsOneBook(benchmark::State& state) {
    Shelf& s = madeShelf();
    if (!s.ok || !openView()) return state.SkipWithError("no shelf or no view");
    cacheEveryCover(s);
    closeView();
    // Drags from the bottom of the window to the top, again and again: the
    // whole shelf passes through the view.
    const fs::path script = s.folder / "drag.txt";
    {
        std::ofstream out(script);
        double t = 0.5;
        for (int drag = 0; drag < 70; ++drag) {
            out << "at " << t << " down 320 100\n";
            for (int step = 1; step <= 8; ++step)
                out << "at " << t + step * 0.02 << " move 320 " << 100 + step * 100 << "\n";
            out << "at " << t + 0.2 << " up 320 900\n";
            t += 0.5;
        }
        out << "at " << t + 1 << " quit\n";
    }
    ::setenv("XDG_CACHE_HOME", s.cache.string().c_str(), 1);
    // The cache holds <cache>/covers; the program adds lirra/covers.
    fs::create_directories(s.cache / "lirra");
    std::error_code error;
    fs::remove_all(s.cache / "lirra" / "covers", error);
    fs::create_directory_symlink(s.cache / "covers", s.cache / "lirra" / "covers", error);
    long book = 0, shelf = 0;
    for (auto _ : state) {
        book = peakKiB({"--headless", (s.shelf / "book-000.lirra").string(), "--frames", "120"});
        shelf = peakKiB({"--headless", s.shelf.string(), "--script", script.string()});
    }
    state.counters["one_book_KiB"] = static_cast<double>(book);
    state.counters["shelf_KiB"] = static_cast<double>(shelf);
    state.counters["shelf_extra_MiB"] = static_cast<double>(shelf - book) / 1024;
}
BENCHMARK(peakMemoryShelfVsOneBook)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code error;
    fs::remove_all(madeShelf().folder, error);
    return 0;
}
