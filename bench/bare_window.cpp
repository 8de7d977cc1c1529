// The least a program can do to show a window as the reader does: SDL's
// video started, a window of the reader's size for this screen, a renderer,
// one cleared frame. bench/startup_instructions.sh counts the reader's
// start-up against it. With `pictures` the frame also shows what the
// reader's first frame holds: an opaque page-sized picture stretched over
// the window and a see-through one blended over it (made in memory, so
// that no image library is loaded): what any program that shows a picture
// pays a renderer for, OpenGL's shader compilation above all. It prints its
// peak resident memory at the end.
//   usage: bare_window [software|opengl] [pictures]
#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

SDL_Texture* picture(SDL_Renderer* renderer, int width, int height, bool seeThrough) {
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * width + x] =
                (seeThrough ? static_cast<std::uint32_t>(x * 255 / width) << 24 : 0xff000000u) |
                static_cast<std::uint32_t>(y * 255 / height) << 16 | static_cast<std::uint32_t>(x & 0xff);
    SDL_Texture* texture =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height);
    if (!texture) return nullptr;
    SDL_UpdateTexture(texture, nullptr, pixels.data(), width * 4);
    SDL_SetTextureBlendMode(texture, seeThrough ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
    return texture;
}

} // namespace

int main(int argc, char** argv) {
    const bool software = argc < 2 || std::strcmp(argv[1], "opengl") != 0;
    const bool pictures = argc > 2 && std::strcmp(argv[2], "pictures") == 0;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, software ? "software" : "opengl");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The reader's frame: 1.11 : 1.4 of the usable height, 97 % of it high.
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
    const int width = static_cast<int>(usable.h * 1.11 / 1.4), height = static_cast<int>(usable.h * 0.97);
    SDL_Window* window =
        SDL_CreateWindow("bare", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                         SDL_WINDOW_SHOWN | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (!renderer) return 1;
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    if (pictures) {
        SDL_Texture* page = picture(renderer, 640, 960, false);
        SDL_Texture* button = picture(renderer, 420, 100, true);
        if (!page || !button) return 1;
        SDL_RenderCopy(renderer, page, nullptr, nullptr);
        const SDL_Rect place{width / 5, height * 2 / 3, width * 3 / 5, height / 10};
        SDL_RenderCopy(renderer, button, nullptr, &place);
    }
    SDL_RenderPresent(renderer);
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
    // The peak resident memory, to set beside read_through_memory.sh's.
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            std::printf("peak_rss_kib=%ld\n", std::strtol(line.c_str() + 6, nullptr, 10));
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
