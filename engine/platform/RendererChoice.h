#pragma once
// Which SDL render driver a window uses. SDL alone picks OpenGL under X even
// where OpenGL is drawn by the CPU (Mesa's llvmpipe on a machine without a
// GPU), which costs about 90 MiB for the rasteriser and its compiler and
// draws no faster than SDL's own software renderer. So: the driver the user
// named wins, then SDL's own hint (SDL_RENDER_DRIVER); otherwise software
// where OpenGL is a software rasteriser, and SDL's choice where it is not.
#include <string>

namespace engine {

// True for the renderer strings of OpenGL drawn on the CPU.
bool isSoftwareRasteriser(const std::string& glRenderer);

// `requested`: --renderer's value or empty; `sdlHint`: SDL's render-driver
// hint as the environment sets it, or empty; `glRenderer`: what OpenGL calls
// its renderer, empty when unknown. Answers the driver to ask SDL for, or
// empty for SDL's own choice.
std::string chooseRenderDriver(const std::string& requested, const std::string& sdlHint,
                               const std::string& glRenderer);

// Whether the machine has a device a GPU driver draws with: a DRM render
// node (`devices`/dri/renderD*) or NVIDIA's own device nodes. Without one,
// OpenGL can only be drawn by the CPU, and asking OpenGL itself (which
// starts the rasteriser and its compiler) is not needed.
bool hasGpuDevice(const std::string& devices = "/dev");

// OpenGL's renderer string on this display, or empty when OpenGL cannot be
// started. Asked in a child process, so that the rasteriser's memory is never
// the reader's; call it before SDL's video is started in this process, since
// the child must not share the parent's display connection.
std::string probeOpenGLRenderer();

} // namespace engine
