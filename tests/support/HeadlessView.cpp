#include "support/HeadlessView.h"

#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCObject.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/menu/CCMenuItemFont.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/platform/HeadlessRun.h"
#include "engine/render/CCTextureCache.h"
#include "support/PaintedImage.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
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

Pixel unpack(std::uint32_t argb) {
    return {static_cast<int>((argb >> 16) & 0xff), static_cast<int>((argb >> 8) & 0xff),
            static_cast<int>(argb & 0xff), static_cast<int>(argb >> 24)};
}

bool near(const Pixel& p, int r, int g, int b, int tolerance) {
    return std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance && std::abs(p.b - b) <= tolerance;
}

::testing::AssertionResult isColour(const Pixel& p, int r, int g, int b, int tolerance) {
    if (near(p, r, g, b, tolerance)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel is " << p << ", expected (" << r << ", " << g << ", " << b << ")";
}

HeadlessView::HeadlessView() : m_savedRoot(engine::CCFileUtils::sharedFileUtils()->getResourceRoot()) {
    engine::CCFileUtils::sharedFileUtils()->setResourceRoot(m_resources.path());
    open(640, 960);
    // Class-wide settings that a screen changes start each test as they
    // start the process, so that a test draws the same alone or after others.
    engine::CCMenuItemFont::setFontSize(engine::CCMenuItemFont::kDefaultFontSize);
    engine::CCMenuItemFont::setFontName(engine::CCMenuItemFont::kDefaultFontName);
}

bool HeadlessView::open(float frameWidth, float frameHeight) {
    m_open = engine::HeadlessRun::openView({frameWidth, frameHeight}, {640, 960});
    return m_open;
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

bool HeadlessView::step(int frames, float dt) {
    for (int i = 0; i < frames; ++i)
        director()->stepFrame(dt);
    if (view()->readPixels(m_pixels, m_width, m_height)) return true;
    m_pixels.clear();
    m_width = m_height = 0;
    return false;
}

Pixel HeadlessView::at(float designX, float designY) const {
    engine::CCPoint pixel = view()->getScreenMapping().toPixel({designX, designY});
    return pixelAt(static_cast<int>(pixel.x), static_cast<int>(pixel.y));
}

Pixel HeadlessView::pixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return {};
    return unpack(m_pixels[static_cast<size_t>(y) * m_width + x]);
}

int HeadlessView::count(const std::function<bool(const Pixel&)>& match) const {
    return static_cast<int>(std::count_if(m_pixels.begin(), m_pixels.end(),
                                          [&](std::uint32_t argb) { return match(unpack(argb)); }));
}

std::string HeadlessView::save(const std::string& name) const {
    std::filesystem::path folder = std::filesystem::path(LIRRA_BINARY_DIR) / "screenshots";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string path = (folder / (name + ".png")).string();
    return view()->saveFrame(path) ? path : std::string();
}

namespace {

// The pixels of a PNG as ARGB8888, row by row; false when it cannot be read.
bool readPng(const std::string& path, std::vector<std::uint32_t>& pixels, int& width, int& height) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    SDL_Surface* argb = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
    if (loaded) SDL_FreeSurface(loaded);
    if (!argb) return false;
    width = argb->w;
    height = argb->h;
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        std::memcpy(&pixels[static_cast<std::size_t>(y) * width],
                    static_cast<const char*>(argb->pixels) + static_cast<std::size_t>(y) * argb->pitch,
                    static_cast<std::size_t>(width) * 4);
    SDL_FreeSurface(argb);
    return true;
}

int channelDifference(std::uint32_t a, std::uint32_t b) {
    int most = 0;
    for (int shift = 0; shift < 32; shift += 8)
        most = std::max(
            most, std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff)));
    return most;
}

} // namespace

::testing::AssertionResult HeadlessView::savedAsShown(const std::string& name) const {
    if (m_pixels.empty()) return ::testing::AssertionFailure() << "no frame was read back to save";
    std::string path = save(name);
    if (path.empty()) return ::testing::AssertionFailure() << "frame " << name << " was not saved";
    std::vector<std::uint32_t> saved;
    int width = 0, height = 0;
    if (!readPng(path, saved, width, height))
        return ::testing::AssertionFailure() << path << " cannot be read back: " << SDL_GetError();
    if (width != m_width || height != m_height)
        return ::testing::AssertionFailure() << path << " is " << width << " x " << height << ", the frame "
                                             << m_width << " x " << m_height;
    for (std::size_t i = 0; i < saved.size(); ++i)
        if (saved[i] != m_pixels[i])
            return ::testing::AssertionFailure() << path << " differs from the frame at pixel ("
                                                 << i % m_width << ", " << i / m_width << ")";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult HeadlessView::matchesReference(const std::string& name, int tolerance,
                                                          double differingShare) const {
    if (m_pixels.empty()) return ::testing::AssertionFailure() << "no frame was read back to compare";
    const std::string reference = std::string(LIRRA_TEST_DATA) + "/reference/" + name + ".png";
    const char* update = std::getenv("LIRRA_UPDATE_REFERENCES");
    if (update && *update == '1') {
        if (!view()->saveFrame(reference))
            return ::testing::AssertionFailure() << reference << " was not written";
        return ::testing::AssertionSuccess() << reference << " written anew";
    }
    std::vector<std::uint32_t> expected;
    int width = 0, height = 0;
    const std::string shown = save(name); // for a look when the two differ
    if (!readPng(reference, expected, width, height))
        return ::testing::AssertionFailure()
               << "no reference " << reference << " (LIRRA_UPDATE_REFERENCES=1 writes it from this frame)";
    if (width != m_width || height != m_height)
        return ::testing::AssertionFailure() << reference << " is " << width << " x " << height
                                             << ", the frame " << m_width << " x " << m_height;
    std::size_t differing = 0;
    int largest = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        int difference = channelDifference(expected[i], m_pixels[i]);
        largest = std::max(largest, difference);
        if (difference > tolerance) ++differing;
    }
    if (static_cast<double>(differing) > differingShare * static_cast<double>(expected.size()))
        return ::testing::AssertionFailure()
               << differing << " pixels differ by more than " << tolerance << " from " << reference
               << " (largest difference " << largest << "); the frame is " << shown;
    return ::testing::AssertionSuccess();
}

std::string HeadlessView::writeImage(const std::string& name, int w, int h, std::uint32_t argb, int border,
                                     std::uint32_t borderArgb) const {
    std::vector<Block> blocks{{0, 0, w, h, border > 0 ? borderArgb : argb}};
    if (border > 0) blocks.push_back({border, border, w - 2 * border, h - 2 * border, argb});
    return writePng(m_resources, name, w, h, blocks).empty() ? std::string() : name;
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
