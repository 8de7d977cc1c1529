#include "app/AddBook.h"

#include "book/Shelf.h"
#include "engine/director/CCDirector.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/HeadlessRun.h"
#include "engine/render/CCTextureCache.h"
#include "tools/checker/BookChecker.h"

#include <SDL.h>
#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace app {

namespace {

// The checker's verdict on `book`: true when it has no errors.
bool passesCheck(const std::string& book, std::string& report) {
    // The checker reads layouts with the real reader, which needs a
    // renderer: an offscreen one, as lirra-check has.
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (!engine::HeadlessRun::openView({640, 960}, {640, 960})) {
        report += std::string("no offscreen renderer to check the book: ") + SDL_GetError() + "\n";
        return false;
    }
    checker::BookChecker checker;
    checker.check(book);
    const bool usable = checker.exitStatus() == 0;
    if (!usable) report += checker.report();
    engine::CCDirector::sharedDirector()->reset();
    engine::CCEGLView::sharedOpenGLView()->close();
    engine::CCTextureCache::sharedTextureCache()->removeAllTextures();
    return usable;
}

} // namespace

int addBook(const std::string& book, const std::string& shelf, std::string& report) {
    if (!book::shelf::isBook(book)) {
        report += "'" + book + "' is neither a .lirra file nor a book folder\n";
        return 2;
    }
    if (!passesCheck(book, report)) {
        report += "lirra: the book '" + book + "' has errors; it is not added to the shelf\n";
        return 1;
    }
    std::error_code error;
    fs::path source = fs::path(book).lexically_normal();
    if (!source.has_filename()) source = source.parent_path();
    const fs::path target = fs::path(shelf) / source.filename();
    if (fs::exists(target, error) && fs::equivalent(source, target, error)) {
        report += "'" + book + "' is on the shelf already\n";
        return 0;
    }
    fs::create_directories(shelf, error);
    // Copied beside its place first and then renamed, so that the shelf
    // never shows half a book.
    std::string hidden = ".";
    hidden += source.filename().string();
    hidden += ".adding" + std::to_string(::getpid());
    const fs::path staged = fs::path(shelf) / hidden;
    fs::remove_all(staged, error);
    fs::copy(source, staged, fs::copy_options::recursive, error);
    if (error) {
        report += "cannot copy '" + book + "' to " + staged.string() + ": " + error.message() + "\n";
        fs::remove_all(staged, error);
        return 2;
    }
    const bool replacing = fs::exists(target, error);
    if (replacing && fs::is_directory(target, error)) fs::remove_all(target, error);
    fs::rename(staged, target, error);
    if (error) {
        report += "cannot put the book at " + target.string() + ": " + error.message() + "\n";
        std::error_code ignored;
        fs::remove_all(staged, ignored);
        return 2;
    }
    report += std::string(replacing ? "replaced " : "added ") + target.string() + "\n";
    return 0;
}

} // namespace app
