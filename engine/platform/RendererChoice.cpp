#include "engine/platform/RendererChoice.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <csignal>
#include <filesystem>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace engine {

namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A broken driver must not keep the book from opening.
constexpr int kProbeTimeoutMs = 5000;
constexpr size_t kProbeMaxBytes = 256;

// In the child: start OpenGL in a hidden window and write its renderer string.
[[noreturn]] void probeInChild(int out) {
    const char* name = nullptr;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window && SDL_GL_CreateContext(window)) {
            using GetString = const unsigned char* (*)(unsigned int);
            constexpr unsigned int kGlRenderer = 0x1F01;
            auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
            if (getString) name = reinterpret_cast<const char*>(getString(kGlRenderer));
        }
    }
    if (name) {
        size_t length = std::min(std::char_traits<char>::length(name), kProbeMaxBytes);
        [[maybe_unused]] ssize_t written = write(out, name, length);
    }
    // No exit handlers: they belong to the parent (and the sanitizers' leak
    // report would speak of the child's deliberate shortcuts).
    _exit(0);
}

} // namespace

bool hasGpuDevice(const std::string& devices) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(devices + "/dri", error))
        if (entry.path().filename().string().rfind("renderD", 0) == 0) return true;
    for (const char* nvidia : {"/nvidia0", "/nvidiactl"})
        if (std::filesystem::exists(devices + nvidia, error)) return true;
    return false;
}

bool isSoftwareRasteriser(const std::string& glRenderer) {
    const std::string name = lowered(glRenderer);
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
        if (name.find(software) != std::string::npos) return true;
    return false;
}

std::string chooseRenderDriver(const std::string& requested, const std::string& sdlHint,
                               const std::string& glRenderer) {
    if (!requested.empty()) return requested;
    if (!sdlHint.empty()) return sdlHint;
    if (isSoftwareRasteriser(glRenderer)) return "software";
    return "";
}

std::string probeOpenGLRenderer() {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return "";
    pid_t child = fork();
    if (child < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return "";
    }
    if (child == 0) {
        close(pipeEnds[0]);
        probeInChild(pipeEnds[1]);
    }
    close(pipeEnds[1]);
    std::string name;
    std::array<char, kProbeMaxBytes> buffer{};
    pollfd readable{pipeEnds[0], POLLIN, 0};
    bool timedOut = false;
    while (name.size() < kProbeMaxBytes) {
        int ready = poll(&readable, 1, kProbeTimeoutMs);
        if (ready == 0) timedOut = true;
        if (ready <= 0) break;
        ssize_t got = read(pipeEnds[0], buffer.data(), buffer.size());
        if (got <= 0) break;
        name.append(buffer.data(), static_cast<size_t>(got));
    }
    close(pipeEnds[0]);
    if (timedOut) {
        kill(child, SIGKILL);
        name.clear();
    }
    int status = 0;
    waitpid(child, &status, 0);
    return name;
}

} // namespace engine
