#include "app/PictureRun.h"

#include "book/BookContract.h"
#include "book/BookScene.h"
#include "book/BookState.h"
#include "book/PictureCache.h"
#include "book/TestController.h"
#include "book/TestLayer1.h"
#include "engine/base/CCDictionary.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCString.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/platform/HeadlessRun.h"
#include "engine/render/CCTextureCache.h"
#include "engine/render/ccImageCodec.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>

using namespace engine;
namespace fs = std::filesystem;

namespace app {

namespace {

constexpr float kFrame = 1.0f / 60;
// The home page settles (its layout's own animations) before it is drawn.
constexpr int kHomeFrames = 30;
// A page is drawn as it first shows, before auto-play highlights a word.
constexpr int kPageFrames = 2;

int fail(const std::string& prefix, const std::string& reason) {
    CCLog("pictures: %s", reason.c_str());
    book::pictures::writeWhole(prefix + ".failed", reason);
    return 2;
}

// The frame on show, shrunk to a cover's size, as a PNG at `file`.
bool saveShrunkFrame(const std::string& file) {
    std::vector<std::uint32_t> frame;
    int width = 0, height = 0;
    if (!CCEGLView::sharedOpenGLView()->readPixels(frame, width, height) || width <= 0 || height <= 0)
        return false;
    std::vector<std::uint32_t> small =
        shrink(frame, width, height, book::pictures::kCoverWidth, book::pictures::kCoverHeight);
    std::vector<unsigned char> png;
    std::string why;
    if (!ccEncodePng(small.data(), book::pictures::kCoverWidth, book::pictures::kCoverHeight, png, why)) {
        CCLog("pictures: cannot make a PNG: %s", why.c_str());
        return false;
    }
    return book::pictures::writeWhole(file, std::string(png.begin(), png.end()));
}

void show(CCScene* scene, int frames) {
    CCDirector* director = CCDirector::sharedDirector();
    if (director->getRunningScene())
        director->replaceScene(scene);
    else
        director->runWithScene(scene);
    for (int i = 0; i < frames; ++i)
        director->stepFrame(kFrame);
}

CCScene* homeScene() {
    CCScene* scene = CCScene::create();
    auto* home = new book::TestController();
    scene->addChild(home);
    home->release();
    return scene;
}

// A page scene at `page`, held by the autorelease pool.
CCScene* pageScene(int page) {
    book::currentPage = page;
    book::BookScene* scene = book::BookScene::createOwned();
    auto* layer = new book::TestLayer1();
    scene->addChild(layer);
    layer->release();
    scene->autorelease();
    return scene;
}

void writeTitle(const std::string& prefix) {
    CCDictionary* config =
        CCDictionary::createWithContentsOfFile(book::configurationFile(book::bookDir).c_str());
    auto* title = config ? dynamic_cast<CCString*>(config->objectForKey(book::configKey::kTitle)) : nullptr;
    if (title && title->length() > 0) book::pictures::writeWhole(prefix + ".title", title->getString());
}

int drawBook(const std::string& prefix, bool pages) {
    if (!HeadlessRun::openView({640, 960}, {640, 960}))
        return fail(prefix, std::string("no offscreen renderer: ") + SDL_GetError());
    HeadlessRun::startVirtualTime();
    CCDirector::sharedDirector()->setAnimationInterval(kFrame);

    book::readBookConfiguration();
    writeTitle(prefix);
    const bool hasHome = CCFileUtils::sharedFileUtils()->isFileExist(book::kHomeLayoutFile);
    const int firstPage = book::pageMin;
    const int lastPage = book::pageMax;
    show(hasHome ? homeScene() : pageScene(firstPage), hasHome ? kHomeFrames : kPageFrames);
    if (!saveShrunkFrame(prefix + ".png"))
        return fail(prefix, "the cover could not be saved as " + prefix + ".png");
    if (!pages) return 0;
    int drawn = 0;
    for (int page = firstPage; page <= lastPage; ++page) {
        show(pageScene(page), kPageFrames);
        const std::string file = prefix + "-p" + std::to_string(page) + ".png";
        if (!saveShrunkFrame(file))
            return fail(prefix, "the picture of page " + std::to_string(page) + " could not be saved");
        ++drawn;
    }
    book::pictures::writeWhole(prefix + ".pages", std::to_string(drawn) + "\n");
    return 0;
}

} // namespace

std::vector<std::uint32_t> shrink(const std::vector<std::uint32_t>& pixels, int width, int height,
                                  int toWidth, int toHeight) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(toWidth) * toHeight, 0);
    for (int y = 0; y < toHeight; ++y) {
        const int top = y * height / toHeight, bottom = std::max(top + 1, (y + 1) * height / toHeight);
        for (int x = 0; x < toWidth; ++x) {
            const int left = x * width / toWidth, right = std::max(left + 1, (x + 1) * width / toWidth);
            std::uint64_t sum[4] = {0, 0, 0, 0};
            for (int sy = top; sy < bottom; ++sy)
                for (int sx = left; sx < right; ++sx) {
                    const std::uint32_t p = pixels[static_cast<std::size_t>(sy) * width + sx];
                    for (int c = 0; c < 4; ++c)
                        sum[c] += (p >> (8 * c)) & 0xff;
                }
            const std::uint64_t count = static_cast<std::uint64_t>(bottom - top) * (right - left);
            std::uint32_t average = 0;
            for (int c = 0; c < 4; ++c)
                average |= static_cast<std::uint32_t>((sum[c] + count / 2) / count) << (8 * c);
            out[static_cast<std::size_t>(y) * toWidth + x] = average;
        }
    }
    return out;
}

int makePictures(const std::string& bookPath, const std::string& prefix, bool pages) {
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    std::error_code error;
    if (fs::is_directory(bookPath, error)) {
        files->setResourceRoot(bookPath);
    } else {
        std::string why;
        if (!files->setResourceArchive(bookPath, why)) return fail(prefix, "cannot open the book: " + why);
    }
    const std::string problem = book::bookConfigurationProblem();
    if (!problem.empty()) return fail(prefix, "no book: " + problem);

    const int status = drawBook(prefix, pages);
    CCDirector::sharedDirector()->reset();
    CCEGLView::sharedOpenGLView()->close();
    CCTextureCache::sharedTextureCache()->removeAllTextures();
    HeadlessRun::endVirtualTime();
    return status;
}

} // namespace app
