// A book's three dictionaries from outside (the configuration, the interface
// texts and the word texts), read through the book state and then named the
// way the screens name a page's things: any bytes must leave a configuration
// within its limits, names that stay inside the resource root, no leaked
// object, and no undefined arithmetic (run with UBSAN_OPTIONS=halt_on_error=1).
#include "book/BookNames.h"
#include "book/BookState.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCObject.h"
#include "engine/platform/CCFileUtils.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace engine;
namespace fs = std::filesystem;

namespace {

const fs::path& root() {
    static const fs::path folder = [] {
        fs::path made = fs::temp_directory_path() / ("lirra-book-fuzz-" + std::to_string(getpid()));
        fs::create_directories(made / "testLirra");
        CCFileUtils::sharedFileUtils()->setResourceRoot(made.string());
        CCLogSetEchoToStderr(false);
        std::atexit([] {
            fs::remove_all(fs::temp_directory_path() / ("lirra-book-fuzz-" + std::to_string(getpid())));
        });
        return made;
    }();
    return folder;
}

void write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A name the screens would read must be refused or lie under the root.
void checkInsideRoot(const std::string& name) {
    std::string full = CCFileUtils::sharedFileUtils()->fullPathForFilename(name);
    if (full.empty()) return;
    const std::string& base = CCFileUtils::sharedFileUtils()->getResourceRoot();
    if (full.compare(0, base.size() + 1, base + "/") != 0) std::abort();
}

bool withinLimit(int number) {
    return number >= -book::kPageNumberLimit && number <= book::kPageNumberLimit;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path& folder = root();
    FuzzedDataProvider input(data, size);
    write(folder / "testLirra/StringConfig.xml", input.ConsumeRandomLengthString(size));
    write(folder / "String.xml", input.ConsumeRandomLengthString(size));
    write(folder / "testLirra/Stringstr.xml", input.ConsumeRemainingBytesAsString());

    long before = CCObject::liveObjectCount();
    book::resetBookState();
    book::readBookConfiguration();
    if (!withinLimit(book::pageMin) || !withinLimit(book::pageMax) || !withinLimit(book::wordMin) ||
        !withinLimit(book::wordMax))
        std::abort();

    for (const char* key : {"main_page", "setmenu_set", "bntext", "up_page", "after_page", "nopresenglish"})
        book::readInterfaceText(key);
    // The first and last pages and words as the page menu, auto-play and the
    // word reader reach them, one past each end included.
    for (int page : {book::pageMin, book::pageMax, book::wordMin}) {
        checkInsideRoot(book::pageLayoutPath(book::bookDir, book::subName, page));
        for (int index : {1, 9, 10, 30, 31}) {
            int tag = book::hotspotTag(page, index);
            if (book::indexFromTag(tag, page) != index && index <= 30 && page >= 0 && page < 100)
                std::abort();
            book::readWordText(book::textKey(tag, page));
            checkInsideRoot(book::narrationPath(book::bookDir, book::soundName(tag, page)));
            (void)book::hotspotName(page, index);
        }
    }
    // The page menu counts a screen of up to 20 squares past either end.
    volatile int pastTheEnd = book::pageMax + 21, beforeTheStart = book::pageMin - 21;
    (void)pastTheEnd;
    (void)beforeTheStart;

    CCAutoreleasePool::sharedPool()->drain();
    if (CCObject::liveObjectCount() != before) std::abort();
    return 0;
}
