// The book checker on a small book of which one file comes from outside: the
// first byte picks the file (page layout, home layout, settings layout,
// configuration, interface texts, word texts, the narration of the page's
// word), the rest are its bytes. Whatever the bytes, the checker must end
// with a report whose summary line is there, with nothing unprintable in it,
// and an exit status of 0, 1 or 2; no abort, no hang, no leaked object.
#include "book/BookNames.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCObject.h"
#include "engine/platform/HeadlessRun.h"
#include "tools/checker/BookChecker.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

using namespace engine;
namespace fs = std::filesystem;

namespace {

std::string plist(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>";
    for (const auto& [key, value] : entries)
        text += "<key>" + key + "</key><string>" + value + "</string>";
    return text + "</dict></plist>\n";
}

std::string panel(const std::string& children) {
    return R"({"designWidth": 640, "designHeight": 960, "version": "1.2.0.0", "widgetTree": {"classname": "Panel",
        "options": {"name": "root", "width": 640, "height": 960}, "children": [)" +
           children + "]}}";
}

std::string button(const std::string& name) {
    return R"({"classname": "Button", "options": {"name": ")" + name +
           R"(", "x": 100, "y": 100, "normalData": {"resourceType": 0, "path": "b.png"}}, "children": []})";
}

// The book's files, each a choice of the first byte.
struct BookFile {
    std::string name;
    std::string contents;
};

const std::vector<BookFile>& bookFiles() {
    static const std::vector<BookFile> files = [] {
        std::string buttons;
        for (const char* name : {"bngoon", "bnwordlean", "bnselect", "bnreturn"})
            buttons += (buttons.empty() ? "" : ", ") + button(name);
        std::string settings;
        for (const char* name : {"bnmain", "bnpres", "bnaotopage", "bnaoto", "bnok", "bncancel"})
            settings += (settings.empty() ? "" : ", ") + button(name);
        return std::vector<BookFile>{
            {"testLirra/p/p_1.json", panel(button("bn011"))},
            {"mainpage/mainpage_1.json", panel(buttons)},
            {"3age/pageset.json", panel(settings)},
            {"testLirra/StringConfig.xml", plist({{"lirraSubName", "p"},
                                                  {"pageMin", "1"},
                                                  {"pageMax", "1"},
                                                  {"wordMin", "1"},
                                                  {"wordMax", "1"},
                                                  {"ispep", "false"},
                                                  {"textsize", "25"}})},
            {"String.xml", plist({{"main_page", "Home"},
                                  {"setmenu_set", "Set"},
                                  {"bntext", "Touch"},
                                  {"nopresenglish", "Again"},
                                  {"up_page", "Up"},
                                  {"after_page", "Next"}})},
            {"testLirra/Stringstr.xml", plist({{"str011", "sun"}})},
            {book::narrationPath("testLirra", book::soundName(11, 1)), std::string("ID3\3\0\0\0\0\0\0", 10)},
        };
    }();
    return files;
}

void write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

const fs::path& root() {
    static const fs::path folder = [] {
        fs::path made = fs::temp_directory_path() / ("lirra-checker-fuzz-" + std::to_string(getpid()));
        for (const BookFile& file : bookFiles())
            write(made / file.name, file.contents);
        std::atexit([] {
            fs::remove_all(fs::temp_directory_path() / ("lirra-checker-fuzz-" + std::to_string(getpid())));
        });
        // Layouts are read by the real reader, which needs an offscreen renderer.
        SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
        SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
        CCLogSetEchoToStderr(false);
        if (!HeadlessRun::openView({640, 960}, {640, 960})) std::abort();
        return made;
    }();
    return folder;
}

bool printable(const std::string& report) {
    for (unsigned char byte : report)
        if ((byte < 0x20 && byte != '\n') || byte == 0x7F) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path& folder = root();
    if (size == 0) return 0;
    const BookFile& file = bookFiles()[data[0] % bookFiles().size()];
    write(folder / file.name, std::string(reinterpret_cast<const char*>(data) + 1, size - 1));

    long before = CCObject::liveObjectCount();
    {
        checker::BookChecker checker;
        checker.check(folder.string());
        const std::string report = checker.report();
        if (report.find("lirra-check: ") == std::string::npos || !printable(report)) std::abort();
        if (checker.exitStatus() < 0 || checker.exitStatus() > 2) std::abort();
    }
    CCAutoreleasePool::sharedPool()->drain();
    if (CCObject::liveObjectCount() != before) std::abort();

    write(folder / file.name, file.contents);
    return 0;
}
