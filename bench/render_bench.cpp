// A typical page of 60 textured quads (a background, sprites of three
// textures, some rotated, some tinted or faded) drawn through the engine and
// drawn directly with plain SDL calls on the same SDL renderer, side by side:
// on SDL's software renderer (headless) and, when DISPLAY is set, on the
// OpenGL renderer in a window. Prints engine / fastest plain SDL per renderer.
#include "RatioReporter.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/nodes/CCSprite.h"
#include "engine/platform/CCEGLView.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <numbers>
#include <string>
#include <vector>

using namespace engine;

namespace {

constexpr float kWidth = 640, kHeight = 960;

struct Quad {
    int texture;
    float cx, cy, w, h; // design points, centre
    float degrees;      // clockwise
    ccColor4B color;
};

// An image with a transparent margin, like a cut-out picture.
SDL_Surface* makeImage(int w, int h, Uint8 r, Uint8 g, Uint8 b, bool margin) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(s, nullptr,
                 margin ? SDL_MapRGBA(s->format, r, g, b, 0) : SDL_MapRGBA(s->format, r, g, b, 255));
    if (margin) {
        SDL_Rect inner{w / 8, h / 8, w - w / 4, h - h / 4};
        SDL_FillRect(s, &inner, SDL_MapRGBA(s->format, r, g, b, 255));
    }
    return s;
}

std::vector<Quad> makePage() {
    std::vector<Quad> page;
    page.push_back({0, kWidth / 2, kHeight / 2, kWidth, kHeight, 0, {255, 255, 255, 255}});
    unsigned int seed = 12345;
    auto next = [&seed](float lo, float hi) {
        seed = seed * 1103515245u + 12345u;
        return lo + (hi - lo) * ((seed >> 8) & 0xffff) / 65535.0f;
    };
    const float sizes[4][2] = {{0, 0}, {128, 128}, {96, 64}, {200, 150}};
    for (int i = 1; i < 60; ++i) {
        // Runs of one texture, as a page's pictures and word spots come in groups.
        int texture = 1 + (i / 7) % 3;
        float scale = next(0.5f, 1.3f);
        Quad q{texture,
               next(40, kWidth - 40),
               next(40, kHeight - 40),
               sizes[texture][0] * scale,
               sizes[texture][1] * scale,
               0,
               {255, 255, 255, 255}};
        if (i % 3 == 0) q.degrees = next(-40, 40);
        if (i % 4 == 0) q.color = {255, 200, 120, 255};
        if (i % 5 == 0) q.color.a = 180;
        page.push_back(q);
    }
    return page;
}

struct Backend {
    std::string name;
    std::vector<CCTexture2D*> textures; // retained
    std::vector<Quad> page = makePage();
};

SDL_Renderer* sdl() {
    return CCEGLView::sharedOpenGLView()->getRenderer()->sdlRenderer();
}
SDL_Texture* sdlTexture(CCTexture2D* t) {
    return t->sdlTexture(*CCEGLView::sharedOpenGLView()->getRenderer());
}

void buildScene(Backend& backend) {
    CCDirector::sharedDirector()->reset();
    CCScene* scene = CCScene::create();
    for (const Quad& q : backend.page) {
        CCTexture2D* texture = backend.textures[q.texture];
        CCSprite* sprite = CCSprite::createWithTexture(texture);
        sprite->setPosition(ccp(q.cx, q.cy));
        sprite->setScaleX(q.w / texture->getPixelsWide());
        sprite->setScaleY(q.h / texture->getPixelsHigh());
        sprite->setRotation(q.degrees);
        sprite->setColor(ccc3(q.color.r, q.color.g, q.color.b));
        sprite->setOpacity(q.color.a);
        scene->addChild(sprite);
    }
    CCDirector::sharedDirector()->runWithScene(scene);
    CCDirector::sharedDirector()->stepFrame(1 / 60.f);
}

// SDL draw calls and texture state changes (another texture than the last
// draw's, or a new tint) of one frame, engine and plain SDL alike.
void countPerFrame(benchmark::State& state, int drawCalls, int textureChanges) {
    state.counters["draw_calls"] = drawCalls;
    state.counters["texture_changes"] = textureChanges;
}

void engineFrame(benchmark::State& state) {
    CCSDLRenderer* renderer = CCEGLView::sharedOpenGLView()->getRenderer();
    for (auto _ : state) {
        renderer->resetStats();
        CCDirector::sharedDirector()->stepFrame(1 / 60.f);
    }
    countPerFrame(state, renderer->getStats().drawCalls, renderer->getStats().textureChanges);
}

// The engine with every quad as a mesh, whatever the renderer.
void engineMeshes(benchmark::State& state) {
    CCSDLRenderer* renderer = CCEGLView::sharedOpenGLView()->getRenderer();
    CCSDLRenderer::QuadPath saved = renderer->getQuadPath();
    renderer->setQuadPath(CCSDLRenderer::QuadPath::Geometry);
    for (auto _ : state) {
        renderer->resetStats();
        CCDirector::sharedDirector()->stepFrame(1 / 60.f);
    }
    countPerFrame(state, renderer->getStats().drawCalls, renderer->getStats().textureChanges);
    renderer->setQuadPath(saved);
}

void sdlCopies(benchmark::State& state, Backend* backend) {
    SDL_Renderer* r = sdl();
    int changes = 0;
    for (auto _ : state) {
        SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
        SDL_RenderClear(r);
        changes = 0;
        const Quad* last = nullptr;
        for (const Quad& q : backend->page) {
            if (!last || last->texture != q.texture || !(last->color == q.color)) ++changes;
            last = &q;
            SDL_Texture* t = sdlTexture(backend->textures[q.texture]);
            SDL_SetTextureColorMod(t, q.color.r, q.color.g, q.color.b);
            SDL_SetTextureAlphaMod(t, q.color.a);
            SDL_FRect dst{q.cx - q.w / 2, kHeight - q.cy - q.h / 2, q.w, q.h};
            if (q.degrees == 0)
                SDL_RenderCopyF(r, t, nullptr, &dst);
            else
                SDL_RenderCopyExF(r, t, nullptr, &dst, q.degrees, nullptr, SDL_FLIP_NONE);
        }
        SDL_RenderPresent(r);
    }
    countPerFrame(state, static_cast<int>(backend->page.size()), changes);
    for (CCTexture2D* t : backend->textures)
        t->setModulation({255, 255, 255, 255});
}

void sdlGeometry(benchmark::State& state, Backend* backend) {
    // Vertices made once: what a hand-written program would keep.
    struct Run {
        SDL_Texture* texture;
        std::vector<SDL_Vertex> vertices;
        std::vector<int> indices;
    };
    std::vector<Run> runs;
    for (const Quad& q : backend->page) {
        SDL_Texture* t = sdlTexture(backend->textures[q.texture]);
        if (runs.empty() || runs.back().texture != t) runs.push_back({t, {}, {}});
        Run& run = runs.back();
        float radians = q.degrees * std::numbers::pi_v<float> / 180;
        float c = std::cos(radians), s = std::sin(radians);
        float cx = q.cx, cy = kHeight - q.cy;
        const float corners[4][4] = {{-1, -1, 0, 0}, {1, -1, 1, 0}, {-1, 1, 0, 1}, {1, 1, 1, 1}};
        int base = static_cast<int>(run.vertices.size());
        for (const auto& k : corners) {
            float x = k[0] * q.w / 2, y = k[1] * q.h / 2;
            run.vertices.push_back({{cx + x * c - y * s, cy + x * s + y * c},
                                    {q.color.r, q.color.g, q.color.b, q.color.a},
                                    {k[2], k[3]}});
        }
        for (int i : {0, 1, 2, 2, 1, 3})
            run.indices.push_back(base + i);
    }
    SDL_Renderer* r = sdl();
    for (auto _ : state) {
        SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
        SDL_RenderClear(r);
        for (const Run& run : runs)
            SDL_RenderGeometry(r, run.texture, run.vertices.data(), static_cast<int>(run.vertices.size()),
                               run.indices.data(), static_cast<int>(run.indices.size()));
        SDL_RenderPresent(r);
    }
    countPerFrame(state, static_cast<int>(runs.size()), static_cast<int>(runs.size()));
}

bool openBackend(Backend& backend, bool headless) {
    CCEGLView* view = CCEGLView::sharedOpenGLView();
    view->close();
    view->setHeadless(headless);
    if (!headless) view->setRenderDriver("opengl");
    view->setFrameSize(kWidth, kHeight);
    view->setDesignResolutionSize(kWidth, kHeight, kResolutionExactFit);
    if (!view->open()) return false;
    SDL_RendererInfo info;
    SDL_GetRendererInfo(sdl(), &info);
    backend.name = headless ? "software" : info.name;
    backend.textures = {CCTexture2D::createWithSurface(makeImage(640, 960, 90, 160, 220, false)),
                        CCTexture2D::createWithSurface(makeImage(128, 128, 230, 80, 60, true)),
                        CCTexture2D::createWithSurface(makeImage(96, 64, 60, 200, 90, true)),
                        CCTexture2D::createWithSurface(makeImage(200, 150, 240, 220, 70, true))};
    for (CCTexture2D* t : backend.textures)
        t->retain();
    buildScene(backend);
    return true;
}

void closeBackend(Backend& backend) {
    CCDirector::sharedDirector()->reset();
    for (CCTexture2D* t : backend.textures)
        t->release();
    backend.textures.clear();
    CCEGLView::sharedOpenGLView()->close();
}

} // namespace

int main(int argc, char** argv) {
    // Five repetitions unless asked otherwise: the ratio is taken at their least.
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    bool given = false;
    for (int i = 1; i < argc; ++i)
        given = given || std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0;
    if (!given) args.push_back(repetitions.data());
    argc = static_cast<int>(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    std::vector<std::string> names;
    for (bool headless : {true, false}) {
        if (!headless && !std::getenv("DISPLAY")) {
            std::printf("DISPLAY is not set: no OpenGL run (run under xvfb-run -a for it)\n");
            continue;
        }
        Backend backend;
        if (!openBackend(backend, headless)) {
            std::printf("no %s renderer here\n", headless ? "software" : "OpenGL");
            continue;
        }
        names.push_back(backend.name);
        benchmark::RegisterBenchmark((backend.name + "/engine").c_str(), engineFrame)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((backend.name + "/engine_meshes").c_str(), engineMeshes)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((backend.name + "/sdl_copies").c_str(), sdlCopies, &backend)
            ->Unit(benchmark::kMicrosecond);
        // SDL 2.26's software triangle blitter crashes on the page's 640 x 960
        // background drawn as two triangles: no plain mesh run there.
        if (!CCEGLView::sharedOpenGLView()->getRenderer()->isSoftware())
            benchmark::RegisterBenchmark((backend.name + "/sdl_geometry").c_str(), sdlGeometry, &backend)
                ->Unit(benchmark::kMicrosecond);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        benchmark::ClearRegisteredBenchmarks();
        closeBackend(backend);
    }
    for (const std::string& name : names) {
        // CPU time of the drawing thread (steady on a shared machine; all of
        // the software renderer's work) and wall time (which also holds the
        // OpenGL driver's own threads).
        for (auto* table : {&reporter.allCpuTimes, &reporter.allTimes}) {
            // The least time of the repetitions is the one least disturbed by
            // other work on the machine; the median is printed beside it.
            auto timesOf = [&](const char* what) {
                auto found = table->find(name + what);
                std::vector<double> none;
                return found == table->end() ? none : found->second;
            };
            auto minimum = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
            auto median = [](std::vector<double> v) {
                std::sort(v.begin(), v.end());
                return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
            };
            const std::vector<double> engineTimes = timesOf("/engine");
            std::vector<double> plain = timesOf("/sdl_copies");
            const char* plainName = "copies";
            const std::vector<double> geometry = timesOf("/sdl_geometry");
            if (!geometry.empty() && (plain.empty() || minimum(geometry) < minimum(plain))) {
                plain = geometry;
                plainName = "geometry";
            }
            if (engineTimes.empty() || plain.empty()) continue;
            std::printf(
                "%s, %s time per frame: engine %.0f us, fastest plain SDL (%s) %.0f us, ratio %.2f at the "
                "least of %zu repetitions, %.2f at the median (target <= 1.25)\n",
                name.c_str(), table == &reporter.allCpuTimes ? "CPU" : "wall", minimum(engineTimes),
                plainName, minimum(plain), minimum(engineTimes) / minimum(plain), engineTimes.size(),
                median(engineTimes) / median(plain));
        }
    }
    benchmark::Shutdown();
    return 0;
}
