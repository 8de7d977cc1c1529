// Process entry: names and sizes the window, then runs the engine's loop
// until the director ends. The automation flags (see --help) only serve
// tests and tools; without them the book runs as a reader expects.
#include "app/AddBook.h"
#include "app/AppDelegate.h"
#include "app/AutomationScript.h"
#include "app/CommandLine.h"
#include "app/DesktopFrame.h"
#include "app/LogFile.h"
#include "app/PictureRun.h"
#include "app/ScriptDriver.h"
#include "book/BookState.h"
#include "book/PictureMaker.h"
#include "book/Shelf.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/CCLog.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/platform/Desktop.h"
#include "engine/platform/HeadlessRun.h"
#include "engine/platform/QuitDeadline.h"
#include "engine/platform/RendererChoice.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <malloc.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace engine;

namespace {

// Exit statuses: 1 no window could be opened, 2 wrong arguments or script,
// 3 the run ended but a scripted step failed (a frame that was not saved).
constexpr int kExitAutomationFailed = 3;

// Headless runs have no desktop; they take a common full-HD usable height.
constexpr int kHeadlessDesktopHeight = 1040;

int usageError(const std::string& message) {
    std::fprintf(stderr, "lirra: %s\n%s", message.c_str(), app::commandLineHelp());
    return 2;
}

std::string executableFolder() {
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}

// The books that `lirra` with no book named chooses from: the user's shelf
// and the installed one. A program that has no installed shelf (a
// development build) counts the book it would open by itself as one more,
// so that a family with books on their shelf still sees the sample too.
std::vector<book::ShelfBook> booksToChooseFrom() {
    const std::string folder = executableFolder();
    const std::string installed = book::shelf::installedShelf(folder);
    std::vector<book::ShelfBook> books = book::shelf::findBooks({book::shelf::userShelf(), installed});
    std::error_code error;
    if (!std::filesystem::is_directory(installed, error) && !books.empty()) {
        const std::string own = CCFileUtils::defaultResourceRoot();
        const std::filesystem::path real = std::filesystem::canonical(own, error);
        if (!error && book::shelf::isBook(real.string())) {
            bool listed = false;
            for (const book::ShelfBook& shelved : books)
                listed = listed || shelved.path == real.string();
            if (!listed)
                books.insert(books.begin(), {real.string(), book::shelf::titleFromName(real.string())});
        }
    }
    return books;
}

} // namespace

int main(int argc, char** argv) {
    // Pictures, page snapshots and frames are megabytes each and come and go
    // with every page turn. Each is mapped on its own and given back whole
    // when freed; without a fixed threshold glibc raises it past their size
    // after the first is freed, and the heap keeps what they leave between
    // smaller blocks.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    auto parsed = app::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) return usageError(parsed.error);
    const app::LaunchOptions& options = *parsed.options;
    if (options.showHelp) {
        std::fputs(app::commandLineHelp(), stdout);
        return 0;
    }

    if (!options.pictureBook.empty())
        return app::makePictures(options.pictureBook, options.picturePrefix, options.picturePages);
    if (!options.addBook.empty()) {
        // The checker's findings are the report; the reader's own log lines are not.
        CCLogSetEchoToStderr(false);
        std::string report;
        const int status = app::addBook(options.addBook, book::shelf::userShelf(), report);
        std::fputs(report.c_str(), status == 0 ? stdout : stderr);
        return status;
    }

    std::optional<app::ScriptDriver> script;
    if (!options.scriptFile.empty()) {
        app::ScriptParseResult loaded = app::loadScript(options.scriptFile);
        if (!loaded.events) {
            std::fprintf(stderr, "lirra: %s\n", loaded.error.c_str());
            return 2;
        }
        script.emplace(std::move(*loaded.events));
    }

    app::LogFile logFile;
    if (!options.logFile.empty()) {
        std::string why;
        if (!logFile.open(options.logFile, why))
            return usageError("cannot write the log file '" + options.logFile + "' (" + why + ")");
        CCLogAddListener([&logFile, &options](const std::string& line) {
            static bool lost = false;
            if (lost) return;
            // A full disk takes the lines without a word: say so once, where a person sees it.
            if (!logFile.write(line)) {
                lost = true;
                std::fprintf(stderr,
                             "lirra: cannot write the log file '%s' (%s); its lines are lost from here\n",
                             options.logFile.c_str(), std::strerror(errno));
            }
        });
    }

    // A shelf when there are several books to choose from: a folder of books
    // named, or none named and several on the shelves. One book alone opens
    // as a named book does.
    std::string bookToOpen = options.resourceRoot;
    bool onShelf = false;
    {
        std::vector<book::ShelfBook> books;
        std::error_code error;
        if (bookToOpen.empty())
            books = booksToChooseFrom();
        else if (std::filesystem::is_directory(bookToOpen, error) && !book::shelf::isBook(bookToOpen))
            books = book::shelf::findBooks({bookToOpen});
        if (books.size() == 1) bookToOpen = books.front().path;
        onShelf = books.size() > 1;
        if (onShelf) book::shelf::setBooks(std::move(books));
    }
    book::pictures::PictureMaker::shared().setProgram(executableFolder().empty() ? "" : "/proc/self/exe");

    if (!onShelf && !bookToOpen.empty()) {
        std::error_code error;
        if (std::filesystem::is_directory(bookToOpen, error)) {
            CCFileUtils::sharedFileUtils()->setResourceRoot(bookToOpen);
        } else if (std::filesystem::exists(bookToOpen, error)) {
            // A book in one file: an archive that cannot be used ends here,
            // before a window opens.
            std::string why;
            if (!CCFileUtils::sharedFileUtils()->setResourceArchive(bookToOpen, why)) {
                std::fprintf(stderr, "lirra: cannot open the book '%s': %s\n", bookToOpen.c_str(),
                             why.c_str());
                return 2;
            }
        } else {
            return usageError("'" + bookToOpen + "' is neither a book folder nor a .lirra file");
        }
    }
    // A folder or archive without a book would open an empty window.
    const std::string missing = onShelf ? std::string() : book::bookConfigurationProblem();
    if (!missing.empty()) {
        std::fprintf(stderr, "lirra: '%s' holds no book: %s\n",
                     CCFileUtils::sharedFileUtils()->getResourceRoot().c_str(), missing.c_str());
        return 2;
    }

    AppDelegate app;
    app.setStartOnShelf(onShelf);
    CCEGLView* view = CCEGLView::sharedOpenGLView();
    view->setViewName("lirra");

    int desktopHeight = kHeadlessDesktopHeight;
    if (options.headless) {
        HeadlessRun::chooseOffscreenView();
        HeadlessRun::startVirtualTime();
    } else {
        // Before SDL's video starts here: the probe's child opens a display of its own.
        const char* hint = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
        const std::string sdlHint = hint ? hint : "";
        std::string glRenderer;
        if (options.renderer.empty() && sdlHint.empty() && !hasGpuDevice()) {
            // Starting llvmpipe only to hear that it is llvmpipe costs more
            // instructions than the rest of the start-up.
            glRenderer = "software rasterizer";
            CCLog("view: no GPU device here; the software renderer draws the book");
        } else if (options.renderer.empty() && sdlHint.empty()) {
            glRenderer = probeOpenGLRenderer();
            if (isSoftwareRasteriser(glRenderer))
                CCLog("view: OpenGL here is drawn by the CPU (%s); the software renderer draws the book",
                      glRenderer.c_str());
        }
        view->setRenderDriver(chooseRenderDriver(options.renderer, sdlHint, glRenderer));
        std::string problem = Desktop::displayProblem();
        if (problem.empty()) {
            desktopHeight = Desktop::usableHeight();
            if (desktopHeight <= 0) problem = "the screen's size cannot be read";
        }
        if (!problem.empty()) {
            std::fputs(app::noDisplayAdvice(problem).c_str(), stderr);
            return 1;
        }
    }
    CCSize frame = app::frameSizeForDesktopHeight(desktopHeight);
    view->setFrameSize(frame.width, frame.height);

    if (script) {
        app.setFrameHook([&script](double elapsed) { script->beforeFrame(elapsed); });
        app.setAfterFrameHook([&script] { script->afterFrame(); });
        app.setNextHookTime([&script] { return script->nextEventTime(); });
        // A copy of every frame costs a frame's memory and a copy a frame:
        // only for scripts that save frames.
        view->setFrameCapture(script->takesShots());
    }
    app.setFrameLimit(options.frameLimit);

    QuitDeadline::arm();
    int result = CCApplication::sharedApplication()->run();
    QuitDeadline::disarm();
    book::pictures::PictureMaker::shared().cancelAll();
    SimpleAudioEngine::end();
    if (result == 0 && script && script->failedShots() > 0) {
        std::fprintf(stderr, "lirra: %u frame(s) of the script could not be saved\n", script->failedShots());
        return kExitAutomationFailed;
    }
    return result;
}
