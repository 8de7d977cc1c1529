// The least a program can do to show a window as the reader does: SDL's
// video started, a window of the reader's size for this screen, a renderer,
// one cleared frame. bench/startup_instructions.sh counts the reader's
// start-up against it.
//   usage: bare_window [software|opengl]
#include <SDL.h>

#include <cstring>

int main(int argc, char** argv) {
    const bool software = argc < 2 || std::strcmp(argv[1], "opengl") != 0;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, software ? "software" : "opengl");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The reader's frame: 1.11 : 1.4 of the usable height, 97 % of it high.
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
    const int width = static_cast<int>(usable.h * 1.11 / 1.4), height = static_cast<int>(usable.h * 0.97);
    SDL_Window* window = SDL_CreateWindow("bare", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                          SDL_WINDOW_SHOWN | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (!renderer) return 1;
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
