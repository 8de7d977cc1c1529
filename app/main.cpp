// Process entry: names and sizes the window, then runs the engine's loop
// until the director ends. The automation flags (see --help) only serve
// tests and tools; without them the book runs as a reader expects.
#include "app/AppDelegate.h"
#include "app/AutomationScript.h"
#include "app/CommandLine.h"
#include "app/DesktopFrame.h"
#include "app/ScriptDriver.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/CCLog.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/platform/HeadlessRun.h"

#include <SDL.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
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

// SDL turns SIGTERM and SIGINT into a quit event that the loop reads at its
// next frame; a loop stuck in one long step would never read it. Once a quit
// is asked for, the program ends by itself after this long at the latest.
constexpr unsigned kQuitGraceSeconds = 15;

struct sigaction g_sdlQuitHandlers[2]; // SIGINT, SIGTERM as SDL installed them

extern "C" void endAfterGrace(int) {
    static const char message[] = "lirra: still busy long after being asked to quit; ending now\n";
    [[maybe_unused]] ssize_t written = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(128 + SIGTERM);
}

extern "C" void onQuitSignal(int signal) {
    const struct sigaction& sdl = g_sdlQuitHandlers[signal == SIGINT ? 0 : 1];
    if (sdl.sa_handler != SIG_DFL && sdl.sa_handler != SIG_IGN) sdl.sa_handler(signal); // the quit event
    ::alarm(kQuitGraceSeconds);
}

// Puts a deadline behind SDL's quit signals; SDL installs them as its event
// subsystem starts, so it is started here first.
void armQuitDeadline() {
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return;
    struct sigaction alarmAction {};
    alarmAction.sa_handler = endAfterGrace;
    ::sigaction(SIGALRM, &alarmAction, nullptr);
    const int signals[2] = {SIGINT, SIGTERM};
    for (int i = 0; i < 2; ++i) {
        ::sigaction(signals[i], nullptr, &g_sdlQuitHandlers[i]);
        // Only SDL's own plain handler is wrapped; anything else is left alone.
        if (g_sdlQuitHandlers[i].sa_handler == SIG_DFL || g_sdlQuitHandlers[i].sa_handler == SIG_IGN ||
            (g_sdlQuitHandlers[i].sa_flags & SA_SIGINFO))
            continue;
        struct sigaction ours = g_sdlQuitHandlers[i];
        ours.sa_handler = onQuitSignal;
        ::sigaction(signals[i], &ours, nullptr);
    }
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "lirra: %s\n%s", message.c_str(), app::commandLineHelp());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    auto parsed = app::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) return usageError(parsed.error);
    const app::LaunchOptions& options = *parsed.options;
    if (options.showHelp) {
        std::fputs(app::commandLineHelp(), stdout);
        return 0;
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

    std::ofstream logFile;
    if (!options.logFile.empty()) {
        logFile.open(options.logFile, std::ios::out | std::ios::trunc);
        if (!logFile) return usageError("cannot write the log file '" + options.logFile + "'");
        CCLogAddListener([&logFile, &options](const std::string& line) {
            static bool lost = false;
            if (lost) return;
            logFile << line << '\n' << std::flush;
            // A full disk takes the lines without a word: say so once, where a person sees it.
            if (!logFile) {
                lost = true;
                std::fprintf(stderr,
                             "lirra: cannot write the log file '%s' (%s); its lines are lost from here\n",
                             options.logFile.c_str(), std::strerror(errno));
            }
        });
    }

    if (!options.resourceRoot.empty()) {
        std::error_code error;
        if (std::filesystem::is_directory(options.resourceRoot, error)) {
            CCFileUtils::sharedFileUtils()->setResourceRoot(options.resourceRoot);
        } else if (std::filesystem::exists(options.resourceRoot, error)) {
            // A book in one file: an archive that cannot be used ends here,
            // before a window opens.
            std::string why;
            if (!CCFileUtils::sharedFileUtils()->setResourceArchive(options.resourceRoot, why)) {
                std::fprintf(stderr, "lirra: cannot open the book '%s': %s\n", options.resourceRoot.c_str(),
                             why.c_str());
                return 2;
            }
        } else {
            return usageError("'" + options.resourceRoot + "' is neither a book folder nor a .lirra file");
        }
    }

    AppDelegate app;
    CCEGLView* view = CCEGLView::sharedOpenGLView();
    view->setViewName("lirra");

    int desktopHeight = kHeadlessDesktopHeight;
    if (options.headless) {
        HeadlessRun::chooseOffscreenView();
        HeadlessRun::startVirtualTime();
    } else {
        std::string problem = app::displayProblem();
        if (problem.empty()) {
            desktopHeight = app::desktopUsableHeight();
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
        view->setFrameCapture(true);
    }
    app.setFrameLimit(options.frameLimit);

    armQuitDeadline();
    int result = CCApplication::sharedApplication()->run();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    SimpleAudioEngine::end();
    if (result == 0 && script && script->failedShots() > 0) {
        std::fprintf(stderr, "lirra: %u frame(s) of the script could not be saved\n", script->failedShots());
        return kExitAutomationFailed;
    }
    return result;
}
