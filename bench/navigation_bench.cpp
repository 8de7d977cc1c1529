// The book's own screens, headless on the software renderer: the build of a
// page-menu screen for a 45-page book (the sample book's files when it is in
// resources/, else a made book of the same kind). The page curl between two
// of the sample book's pages is in media_bench, on both renderers.
#include "book/BookState.h"
#include "book/MenuLayerMainMenu.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/platform/HeadlessRun.h"

#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace engine;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

void writePng(const fs::path& path, int w, int h, Uint32 argb) {
    fs::create_directories(path.parent_path());
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(surface, nullptr, argb);
    IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
}

std::string plist(const std::string& entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>" + entries +
           "</dict></plist>";
}

// A book of two pictured pages with ten words each, like the sample book's.
std::string madeBook() {
    static const fs::path root = fs::temp_directory_path() / "lirra-book-bench";
    fs::remove_all(root);
    writeFile(root / "String.xml",
              plist("<key>main_page</key><string>Home</string><key>setmenu_set</key><string>Settings</string>"
                    "<key>bntext</key><string>Touch a word</string><key>up_page</key><string>Back</string>"
                    "<key>after_page</key><string>More</string>"));
    writeFile(root / "testLirra/StringConfig.xml",
              plist("<key>lirraSubName</key><string>bb</string><key>pageMin</key><string>1</string>"
                    "<key>pageMax</key><string>2</string><key>wordMin</key><string>1</string>"
                    "<key>wordMax</key><string>2</string><key>ispep</key><string>false</string>"
                    "<key>textsize</key><string>30</string>"));
    for (const char* name : {"up1", "up2", "next1", "next2", "play_btn", "pause_btn"})
        writePng((root / "Images" / name).replace_extension(".png"), 64, 64, 0xff40a040);
    writePng(root / "Images/bnchback1.png", 60, 40, 0xffffffff);
    for (int page = 1; page <= 2; ++page) {
        const std::string folder = "testLirra/bb/";
        writePng((root / folder / "picture").concat(std::to_string(page)).replace_extension(".png"), 640, 960,
                 page == 1 ? 0xffe0d0b0 : 0xffb0d0e0);
        writePng(root / folder / "word.png", 120, 50, 0xffffd200);
        std::ostringstream layout;
        layout << "{\"version\":\"1.0.0.0\",\"designWidth\":640,\"designHeight\":960,\"widgetTree\":"
               << "{\"classname\":\"Panel\",\"options\":{\"name\":\"page\",\"anchorPointX\":0,"
               << "\"anchorPointY\":0,\"width\":640,\"height\":960},\"children\":["
               << "{\"classname\":\"ImageView\",\"children\":[],\"options\":{\"name\":\"picture\","
               << "\"x\":320,\"y\":480,\"fileNameData\":{\"resourceType\":0,\"path\":\"picture" << page
               << ".png\"}}}";
        for (int i = 1; i <= 10; ++i)
            layout << ",{\"classname\":\"Button\",\"children\":[],\"options\":{\"name\":\"bn0" << page << i
                   << "\",\"touchAble\":true,\"x\":" << 100 + 140 * ((i - 1) % 4)
                   << ",\"y\":" << 200 + 120 * ((i - 1) / 4)
                   << ",\"normalData\":{\"resourceType\":0,\"path\":\"word.png\"}}}";
        layout << "]}}";
        writeFile((root / folder / "bb_").concat(std::to_string(page)).replace_extension(".json"),
                  layout.str());
    }
    return root.string();
}

// The sample book when it is there, else a made one.
void openBook() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::string sample = LIRRA_SOURCE_DIR "/resources";
    const bool haveSample = fs::exists(sample + "/testLirra/StringConfig.xml");
    CCFileUtils::sharedFileUtils()->setResourceRoot(haveSample ? sample : madeBook());
    HeadlessRun::openView({640, 960}, {640, 960});
    book::resetBookState();
    book::readBookConfiguration();
}

// Building one screen of the page menu (20 squares and two screen buttons).
void BM_PageMenuBuild45Pages(benchmark::State& state) {
    openBook();
    book::pageMin = 1;
    book::pageMax = 45;
    for (auto _ : state) {
        book::menuStateSet = false;
        auto* layer = new book::MenuLayerMainMenu();
        benchmark::DoNotOptimize(layer);
        layer->release();
        CCAutoreleasePool::sharedPool()->drain();
    }
    CCDirector::sharedDirector()->reset();
}
BENCHMARK(BM_PageMenuBuild45Pages)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
