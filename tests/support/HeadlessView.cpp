#include "support/HeadlessView.h"

#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCObject.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCTextureCache.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdlib>
#include <filesystem>

namespace testsupport {

namespace {
engine::CCEGLView* view() {
    return engine::CCEGLView::sharedOpenGLView();
}
engine::CCDirector* director() {
    return engine::CCDirector::sharedDirector();
}
} // namespace

std::ostream& operator<<(std::ostream& out, const Pixel& p) {
    return out << "(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}

::testing::AssertionResult isColour(const Pixel& p, int r, int g, int b, int tolerance) {
    if (std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance && std::abs(p.b - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel is " << p << ", expected (" << r << ", " << g << ", " << b << ")";
}

HeadlessView::HeadlessView() : m_savedRoot(engine::CCFileUtils::sharedFileUtils()->getResourceRoot()) {
    engine::CCFileUtils::sharedFileUtils()->setResourceRoot(m_resources.path());
    view()->close();
    view()->setHeadless(true);
    view()->setFullscreen(false);
    view()->setFrameSize(640, 960);
    view()->setDesignResolutionSize(640, 960, engine::kResolutionExactFit);
    m_open = view()->open();
    director()->reset();
    director()->setOpenGLView(view());
}

HeadlessView::~HeadlessView() {
    director()->reset();
    view()->close();
    engine::CCTextureCache::sharedTextureCache()->removeAllTextures();
    engine::CCFileUtils::sharedFileUtils()->setResourceRoot(m_savedRoot);
}

void HeadlessView::run(engine::CCScene* scene) {
    director()->runWithScene(scene);
    step();
}

engine::CCScene* HeadlessView::show(engine::CCNode* content) {
    engine::CCScene* scene = engine::CCScene::create();
    scene->addChild(content);
    run(scene);
    return scene;
}

void HeadlessView::step(int frames, float dt) {
    for (int i = 0; i < frames; ++i)
        director()->stepFrame(dt);
    if (!view()->readPixels(m_pixels, m_width, m_height)) {
        m_pixels.clear();
        m_width = m_height = 0;
    }
}

Pixel HeadlessView::at(float designX, float designY) const {
    engine::CCPoint pixel = view()->getScreenMapping().toPixel({designX, designY});
    int x = static_cast<int>(pixel.x), y = static_cast<int>(pixel.y);
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return {};
    std::uint32_t argb = m_pixels[static_cast<size_t>(y) * m_width + x];
    return {static_cast<int>((argb >> 16) & 0xff), static_cast<int>((argb >> 8) & 0xff),
            static_cast<int>(argb & 0xff), static_cast<int>(argb >> 24)};
}

std::string HeadlessView::save(const std::string& name) const {
    std::filesystem::path folder = std::filesystem::path(LIRRA_BINARY_DIR) / "screenshots";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string path = (folder / (name + ".png")).string();
    return view()->saveFrame(path) ? path : std::string();
}

::testing::AssertionResult HeadlessView::savedAsShown(const std::string& name) const {
    if (m_pixels.empty()) return ::testing::AssertionFailure() << "no frame was read back to save";
    std::string path = save(name);
    if (path.empty()) return ::testing::AssertionFailure() << "frame " << name << " was not saved";
    SDL_Surface* loaded = IMG_Load(path.c_str());
    SDL_Surface* argb = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
    if (loaded) SDL_FreeSurface(loaded);
    if (!argb) return ::testing::AssertionFailure() << path << " cannot be read back: " << SDL_GetError();
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    if (argb->w != m_width || argb->h != m_height) {
        result = ::testing::AssertionFailure() << path << " is " << argb->w << " x " << argb->h
                                               << ", the frame " << m_width << " x " << m_height;
    } else {
        for (int y = 0; y < m_height && result; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                static_cast<const char*>(argb->pixels) + static_cast<std::size_t>(y) * argb->pitch);
            for (int x = 0; x < m_width; ++x) {
                if (row[x] == m_pixels[static_cast<std::size_t>(y) * m_width + x]) continue;
                result = ::testing::AssertionFailure()
                         << path << " differs from the frame at pixel (" << x << ", " << y << ")";
                break;
            }
        }
    }
    SDL_FreeSurface(argb);
    return result;
}

std::string HeadlessView::writeImage(const std::string& name, int w, int h, std::uint32_t argb, int border,
                                     std::uint32_t borderArgb) const {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return {};
    SDL_FillRect(surface, nullptr, border > 0 ? borderArgb : argb);
    if (border > 0) {
        SDL_Rect inside{border, border, w - 2 * border, h - 2 * border};
        SDL_FillRect(surface, &inside, argb);
    }
    std::string path = m_resources.write(name, ""); // makes the folders
    bool saved = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return saved ? name : std::string();
}

void HeadlessView::touchBegan(const engine::CCPoint& point, int id) {
    director()->getTouchDispatcher()->touchBegan(id, point);
}

void HeadlessView::touchMoved(const engine::CCPoint& point, int id) {
    director()->getTouchDispatcher()->touchMoved(id, point);
}

void HeadlessView::touchEnded(const engine::CCPoint& point, int id) {
    director()->getTouchDispatcher()->touchEnded(id, point);
}

long HeadlessView::settledObjectCount() {
    director()->reset();
    engine::CCTextureCache::sharedTextureCache()->removeAllTextures();
    engine::CCAutoreleasePool::sharedPool()->drain();
    return engine::CCObject::liveObjectCount();
}

} // namespace testsupport
