// Sprite-sheet text from outside: any bytes must add a whole sheet's frames
// or none with one log line, never crash, hang or leak; every frame added
// must lie inside the texture.
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCDictionary.h"
#include "engine/base/CCLog.h"
#include "engine/nodes/CCSpriteFrame.h"
#include "engine/nodes/CCSpriteFrameCache.h"
#include "engine/render/CCTexture2D.h"

#include <SDL.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace engine;

namespace {

// A 64 x 32 texture that lives for the whole run.
CCTexture2D* sheetTexture() {
    static CCTexture2D* texture = [] {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 64, 32, 32, SDL_PIXELFORMAT_ARGB8888);
        CCTexture2D* t = CCTexture2D::createWithSurface(surface);
        t->retain();
        CCAutoreleasePool::sharedPool()->drain();
        return t;
    }();
    return texture;
}

void checkFrame(const char* name) {
    CCSpriteFrame* frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(name);
    if (!frame) return;
    CCRect area = frame->getTextureArea();
    if (!std::isfinite(area.getMaxX()) || area.getMinX() < -0.01f || area.getMinY() < -0.01f ||
        area.getMaxX() > 64.01f || area.getMaxY() > 32.01f)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = (CCLogSetEchoToStderr(false), true);
    (void)quiet;
    CCTexture2D* texture = sheetTexture();
    long before = CCObject::liveObjectCount();
    if (CCDictionary* sheet = CCDictionary::createWithPlistData(reinterpret_cast<const char*>(data), size, "fuzz")) {
        CCSpriteFrameCache* cache = CCSpriteFrameCache::sharedSpriteFrameCache();
        bool added = cache->addSpriteFramesWithDictionary(sheet, texture, "fuzz");
        if (!added && cache->getFrameCount() != 0) std::abort();
        if (auto* frames = dynamic_cast<CCDictionary*>(sheet->objectForKey("frames"))) {
            for (const auto& entry : frames->entries())
                checkFrame(entry.first.c_str());
        }
        cache->removeSpriteFrames();
    }
    CCAutoreleasePool::sharedPool()->drain();
    if (CCObject::liveObjectCount() != before) std::abort();
    return 0;
}
