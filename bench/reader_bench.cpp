// Reading a 300-widget layout file and building its widget tree, against
// reading and parsing the same file with jsoncpp alone, side by side in one
// run. Prints read-and-build / parse; the target is at most 2.
//
// The file is written the way the layout editor writes one (newer format,
// every key present), with panels holding buttons, text buttons, image views,
// nine-slice images, check boxes, loading bars, labels and sliders. Its pictures and
// sprite sheet are made in a temporary resource root first; textures stay
// cached between iterations, as they do when a book returns to a page.
#include "RatioReporter.h"
#include "engine/base/CCArray.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCLog.h"
#include "engine/platform/CCFileUtils.h"
#include "gui/LayoutReader.h"
#include "gui/UIToolkit.h"
#include "gui/UIWidget.h"

#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>
#include <json/json.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

using namespace engine;

namespace {

constexpr int kWidgets = 300;
const char* kLayoutName = "layouts/bench_page.json";

std::string g_root;

void writeFile(const std::string& name, const std::string& contents) {
    std::filesystem::path path = std::filesystem::path(g_root) / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

void writePng(const std::string& name, int w, int h, Uint32 argb) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(surface, nullptr, argb);
    std::filesystem::create_directories((std::filesystem::path(g_root) / name).parent_path());
    IMG_SavePNG(surface, (g_root + "/" + name).c_str());
    SDL_FreeSurface(surface);
}

std::string frame(int x, int y, int w, int h) {
    std::string rect = "{{" + std::to_string(x) + "," + std::to_string(y) + "},{" + std::to_string(w) + "," +
                       std::to_string(h) + "}}";
    std::string size = "{" + std::to_string(w) + "," + std::to_string(h) + "}";
    return "<dict><key>frame</key><string>" + rect +
           "</string><key>offset</key><string>{0,0}</string>"
           "<key>rotated</key><false/><key>sourceColorRect</key><string>{{0,0}," +
           size + "}</string><key>sourceSize</key><string>" + size + "</string></dict>";
}

std::string data(const std::string& path, int type) {
    return R"({"path": ")" + path + R"(", "plistFile": ")" + (type ? "ui.plist" : "") +
           R"(", "resourceType": )" + std::to_string(type) + "}";
}

// The keys every node carries, as the editor writes them.
std::string common(const std::string& kind, int index, float x, float y, float w, float h) {
    std::string n = std::to_string(index);
    return R"("classname": ")" + kind + R"(", "name": ")" + kind + "_" + n + R"(", "actiontag": )" + n +
           R"(, "anchorPointX": 0.5, "anchorPointY": 0.5, "colorB": 255, "colorG": 255, "colorR": 255,
           "flipX": false, "flipY": false, "height": )" +
           std::to_string(h) +
           R"(, "ignoreSize": true, "opacity": 255, "rotation": 0, "scaleX": 1, "scaleY": 1, "tag": )" + n +
           R"(, "touchAble": true, "visible": true, "width": )" + std::to_string(w) + R"(, "x": )" +
           std::to_string(x) + R"(, "y": )" + std::to_string(y) + R"(, "ZOrder": 0)";
}

std::string node(const std::string& kind, const std::string& options, const std::string& children = "") {
    return R"({"classname": ")" + kind + R"(", "name": null, "children": [)" + children +
           R"(], "options": {)" + options + "}}";
}

std::string insets() {
    return R"(, "capInsetsX": 8, "capInsetsY": 8, "capInsetsWidth": 16, "capInsetsHeight": 8)";
}

std::string widget(int index) {
    float x = static_cast<float>(20 + (index * 37) % 560), y = static_cast<float>(20 + (index * 53) % 900);
    switch (index % 8) {
    case 0:
        return node("Button", common("Button", index, x, y, 60, 30) +
                                  R"(, "scale9Enable": false, "normalData": )" + data("btn_n.png", 1) +
                                  R"(, "pressedData": )" + data("btn_p.png", 1) + R"(, "disabledData": )" +
                                  data("btn_d.png", 1) + insets());
    case 1:
        return node("TextButton",
                    common("TextButton", index, x, y, 120, 40) +
                        R"(, "scale9Enable": true, "scale9Width": 120, "scale9Height": 40, "normalData": )" +
                        data("button.png", 0) + R"(, "pressedData": )" + data("button.png", 0) +
                        R"(, "disabledData": )" + data("button.png", 0) + insets() +
                        R"(, "text": "Next", "textColorR": 0, "textColorG": 0, "textColorB": 0,
                                      "fontSize": 20, "fontName": "Arial")");
    case 2:
        return node("ImageView", common("ImageView", index, x, y, 80, 60) +
                                     R"(, "scale9Enable": false, "fileNameData": )" + data("picture.png", 0) +
                                     insets());
    case 3:
        return node(
            "ImageView",
            common("ImageView", index, x, y, 100, 50) +
                R"(, "scale9Enable": true, "scale9Width": 100, "scale9Height": 50, "fileNameData": )" +
                data("frame.png", 0) + insets());
    case 4:
        return node("CheckBox", common("CheckBox", index, x, y, 24, 24) + R"(, "backGroundBoxData": )" +
                                    data("box.png", 1) + R"(, "backGroundBoxSelectedData": )" +
                                    data("box.png", 1) + R"(, "frontCrossData": )" + data("cross.png", 1) +
                                    R"(, "backGroundBoxDisabledData": )" + data("box.png", 1) +
                                    R"(, "frontCrossDisabledData": )" + data("cross.png", 1));
    case 5:
        return node("LoadingBar", common("LoadingBar", index, x, y, 200, 20) + R"(, "textureData": )" +
                                      data("bar.png", 0) +
                                      R"(, "scale9Enable": false, "direction": 0, "percent": 60)" + insets());
    case 6:
        return node("Label",
                    common("Label", index, x, y, 0, 0) + R"(, "text": "Once upon a time", "fontSize": 24,
                                 "fontName": "Arial", "touchScaleEnable": false)");
    default:
        return node("Slider", common("Slider", index, x, y, 200, 20) +
                                  R"(, "barFileName": "bar.png", "barFileNameData": )" + data("bar.png", 0) +
                                  R"(, "ballNormalData": )" + data("ball.png", 1) +
                                  R"(, "ballPressedData": )" + data("ball.png", 1) +
                                  R"(, "ballDisabledData": )" + data("ball.png", 1) +
                                  R"(, "progressBarData": )" + data("bar.png", 0) +
                                  R"(, "barTextureScale9Enable": false, "length": 200, "percent": 30)");
    }
}

std::string panelOptions(int index, float x, float y, int colorType) {
    return common("Panel", index, x, y, 300, 200) +
           R"(, "clipAble": true, "backGroundScale9Enable": false, "backGroundImageData": null, "colorType": )" +
           std::to_string(colorType) +
           R"(, "bgColorR": 30, "bgColorG": 30, "bgColorB": 60, "bgColorOpacity": 255, "bgStartColorR": 255,
           "bgStartColorG": 255, "bgStartColorB": 255, "bgEndColorR": 0, "bgEndColorG": 0, "bgEndColorB": 0,
           "vectorX": 0, "vectorY": -1, "adaptScreen": false)" +
           insets();
}

// One root panel, 9 panels, and 290 widgets spread over them.
std::string makeLayout() {
    std::string panels;
    int index = 1;
    for (int p = 0; p < 9; ++p) {
        std::string children;
        int count = p < 2 ? 33 : 32;
        for (int i = 0; i < count; ++i) {
            if (i) children += ",";
            children += widget(index + 9 + i);
        }
        if (p) panels += ",";
        panels += node("Panel", panelOptions(index, 10.0f * p, 100.0f * p, 1 + p % 2), children);
        index += count;
    }
    std::string root = node("Panel", panelOptions(0, 0, 0, 1), panels);
    return R"({"classname": null, "name": null, "animation": {"classname": null, "name": "AnimationManager",
        "actionlist": []}, "dataScale": 1, "designHeight": 960, "designWidth": 640, "textures": ["ui.plist"],
        "version": "1.0.0.0", "widgetTree": )" +
           root + "}";
}

void setUpFiles() {
    char folder[] = "/tmp/lirra-reader-bench-XXXXXX";
    if (!mkdtemp(folder)) std::abort();
    g_root = folder;
    CCFileUtils::sharedFileUtils()->setResourceRoot(g_root);
    writePng("layouts/ui.png", 128, 64, 0xffffff00);
    writeFile("layouts/ui.plist",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict><key>frames</key><dict>"
              "<key>btn_n.png</key>" +
                  frame(0, 0, 60, 30) + "<key>btn_p.png</key>" + frame(60, 0, 60, 30) +
                  "<key>btn_d.png</key>" + frame(0, 30, 60, 30) + "<key>ball.png</key>" +
                  frame(60, 30, 20, 20) + "<key>box.png</key>" + frame(80, 30, 24, 24) +
                  "<key>cross.png</key>" + frame(104, 30, 24, 24) +
                  "</dict><key>metadata</key><dict><key>format</key><integer>2</integer>"
                  "<key>textureFileName</key><string>ui.png</string></dict></dict></plist>");
    writePng("layouts/button.png", 100, 40, 0xffff0000);
    writePng("layouts/picture.png", 80, 60, 0xff00ff00);
    writePng("layouts/frame.png", 32, 32, 0xffffffff);
    writePng("layouts/bar.png", 200, 20, 0xff0000ff);
    writeFile(kLayoutName, makeLayout());
}

int countWidgets(gui::UIWidget* widget) {
    int count = 1;
    for (CCObject* child : *widget->getChildren())
        count += countWidgets(static_cast<gui::UIWidget*>(child));
    return count;
}

void BM_ParseWithJsoncppAlone(benchmark::State& state) {
    // The reader's own parser settings, so that only the building is compared.
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    builder["stackLimit"] = gui::LayoutReader::kJsonNestingLimit;
    std::unique_ptr<Json::CharReader> parser(builder.newCharReader());
    for (auto _ : state) {
        std::optional<std::string> text = CCFileUtils::sharedFileUtils()->getFileData(kLayoutName);
        Json::Value document;
        std::string errors;
        bool ok = parser->parse(text->data(), text->data() + text->size(), &document, &errors);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(document);
    }
}

void BM_ReadAndBuild(benchmark::State& state) {
    for (auto _ : state) {
        gui::UIWidget* root = gui::LayoutReader::instance()->readLayoutFile(kLayoutName);
        benchmark::DoNotOptimize(root);
        state.PauseTiming();
        if (!root || countWidgets(root) != kWidgets) {
            state.SkipWithError("the layout did not build 300 widgets");
            break;
        }
        CCAutoreleasePool::sharedPool()->drain();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_ParseWithJsoncppAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndBuild)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    CCLogSetEchoToStderr(false);
    setUpFiles();
    std::optional<std::string> text = CCFileUtils::sharedFileUtils()->getFileData(kLayoutName);
    std::printf("layout file: %zu bytes, %d widgets\n", text ? text->size() : 0, kWidgets);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double parse = reporter.times["BM_ParseWithJsoncppAlone"], build = reporter.times["BM_ReadAndBuild"];
    if (parse > 0 && build > 0)
        std::printf("read-and-build / jsoncpp parse: %.2f (target at most 2)\n", build / parse);
    gui::UIToolkit::purgeToolkit();
    std::filesystem::remove_all(g_root);
    return 0;
}
