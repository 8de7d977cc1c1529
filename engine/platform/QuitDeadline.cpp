#include "engine/platform/QuitDeadline.h"

#include <SDL.h>
#include <unistd.h>

#include <csignal>

namespace engine {

namespace {

struct sigaction g_sdlQuitHandlers[2]; // SIGINT, SIGTERM as SDL installed them

extern "C" void endAfterGrace(int) {
    static const char message[] = "lirra: still busy long after being asked to quit; ending now\n";
    [[maybe_unused]] ssize_t written = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(128 + SIGTERM);
}

extern "C" void onQuitSignal(int signal) {
    const struct sigaction& sdl = g_sdlQuitHandlers[signal == SIGINT ? 0 : 1];
    if (sdl.sa_handler != SIG_DFL && sdl.sa_handler != SIG_IGN) sdl.sa_handler(signal); // the quit event
    ::alarm(QuitDeadline::kGraceSeconds);
}

} // namespace

void QuitDeadline::arm() {
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

void QuitDeadline::disarm() {
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

} // namespace engine
