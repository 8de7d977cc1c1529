#include "book/Shelf.h"

#include "book/BookContract.h"
#include "book/BookState.h"
#include "book/ScreenChanges.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/CCLog.h"
#include "engine/nodes/CCSpriteFrameCache.h"
#include "engine/platform/BookArchive.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCTextureCache.h"
#include "engine/text/CCBMFontConfiguration.h"
#include "engine/text/CCFontCache.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>

using namespace engine;
namespace fs = std::filesystem;

namespace book::shelf {

namespace {

struct Session {
    std::vector<ShelfBook> books;
    bool bookFromShelf = false;
    ShelfPlace place;
};

Session& session() {
    static Session state;
    return state;
}

bool hasArchiveName(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".lirra";
}

// Everything the previous book left in process-wide caches under names that
// the next book may use too. Pictures are kept by full path, so only those
// no screen holds go; fonts, sprite frames and bitmap fonts are kept by the
// names a book gives them, so they all go.
void forgetBookCaches() {
    SimpleAudioEngine::sharedEngine()->stopBackgroundMusic();
    CCTextureCache::sharedTextureCache()->removeUnusedTextures();
    CCFontCache::sharedFontCache()->purge();
    CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    CCBMFontConfiguration::purgeCachedData();
}

} // namespace

std::string userShelf() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return (fs::path(data) / "lirra" / "books").string();
    const char* home = std::getenv("HOME");
    return (fs::path(home && *home ? home : "/") / ".local" / "share" / "lirra" / "books").string();
}

std::string installedShelf(const std::string& executableFolder) {
    return (fs::path(executableFolder).parent_path() / "share" / "lirra" / "books")
        .lexically_normal()
        .string();
}

bool isBook(const std::string& path) {
    std::error_code error;
    if (fs::is_regular_file(path, error)) return hasArchiveName(path);
    return fs::is_regular_file(fs::path(path) / configurationFile(bookState.bookDir), error);
}

std::string titleFromName(const std::string& path) {
    fs::path name = fs::path(path).lexically_normal();
    if (!name.has_filename()) name = name.parent_path();
    std::string title = hasArchiveName(name) ? name.stem().string() : name.filename().string();
    for (char& c : title)
        if (c == '-' || c == '_') c = ' ';
    if (!title.empty()) title[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(title[0])));
    return title;
}

std::vector<ShelfBook> findBooks(const std::vector<std::string>& shelves) {
    std::vector<ShelfBook> found;
    std::set<std::string> seen;
    for (const std::string& shelf : shelves) {
        std::error_code error;
        if (!fs::is_directory(shelf, error)) continue;
        fs::directory_iterator entries(shelf, fs::directory_options::skip_permission_denied, error);
        if (error) {
            CCLog("shelf: cannot read the shelf %s (%s)", shelf.c_str(), error.message().c_str());
            continue;
        }
        // In name order, so that of two names for one book the same one wins each time.
        std::vector<fs::path> names;
        for (const fs::directory_entry& entry : entries)
            names.push_back(entry.path());
        std::sort(names.begin(), names.end());
        for (const fs::path& name : names) {
            const std::string path = name.string();
            if (!isBook(path)) continue;
            std::error_code realError;
            const fs::path real = fs::canonical(name, realError);
            if (realError || !seen.insert(real.string()).second) continue;
            found.push_back({real.string(), titleFromName(path)});
        }
    }
    std::sort(found.begin(), found.end(), [](const ShelfBook& a, const ShelfBook& b) {
        return a.title != b.title ? a.title < b.title : a.path < b.path;
    });
    return found;
}

void setBooks(std::vector<ShelfBook> list) {
    session().books = std::move(list);
}

const std::vector<ShelfBook>& books() {
    return session().books;
}

bool openBook(const std::string& path) {
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    const std::string previousRoot = files->getResourceRoot();
    const std::string previousArchive = files->resourceArchive() ? files->resourceArchive()->path() : "";
    auto putBack = [&] {
        std::string ignored;
        if (previousArchive.empty() || !files->setResourceArchive(previousArchive, ignored))
            files->setResourceRoot(previousRoot);
    };

    std::error_code error;
    if (fs::is_directory(path, error)) {
        files->setResourceRoot(path);
    } else {
        std::string why;
        if (!files->setResourceArchive(path, why)) {
            CCLog("shelf: cannot open the book %s: %s", path.c_str(), why.c_str());
            return false;
        }
    }
    // A child who came to the book by keys goes on with the keys.
    const bool keys = bookState.keyboardFocusInUse;
    resetBookState();
    bookState.keyboardFocusInUse = keys;
    const std::string problem = bookConfigurationProblem();
    if (!problem.empty()) {
        CCLog("shelf: %s holds no book: %s", path.c_str(), problem.c_str());
        putBack();
        resetBookState();
        return false;
    }
    forgetBookCaches();
    CCLog("shelf: opened the book %s", path.c_str());
    return true;
}

bool readFromShelf(const std::string& path) {
    if (!openBook(path)) return false;
    session().bookFromShelf = true;
    screens::home();
    return true;
}

bool bookCameFromShelf() {
    return session().bookFromShelf;
}

void backToShelf() {
    forgetBookCaches();
    CCFontCache::sharedFontCache()->setBookFont("");
    session().bookFromShelf = false;
    CCLog("shelf: back on the shelf");
    screens::shelf();
}

ShelfPlace& place() {
    return session().place;
}

void reset() {
    session() = Session{};
}

} // namespace book::shelf
