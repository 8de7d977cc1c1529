#include "engine/render/CCTextureCache.h"

#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/ccImageSize.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <optional>

namespace engine {

CCTextureCache* CCTextureCache::sharedTextureCache() {
    static CCTextureCache* cache = [] {
        auto* created = new CCTextureCache();
        CCDirector::sharedDirector()->addPurgeListener([] { sharedTextureCache()->removeUnusedTextures(); });
        // The pictures of a page left behind are decoded again if it comes
        // back: a book read through then holds the pages on screen, not every
        // page it has shown.
        CCDirector::sharedDirector()->addSceneLeftListener(
            [] { sharedTextureCache()->removeUnusedTextures(); });
        return created;
    }();
    return cache;
}

CCTextureCache::~CCTextureCache() {
    removeAllTextures();
}

namespace {

// Decoded pictures are kept as 4 bytes a pixel.
std::uint64_t pixelBytes(std::uint64_t width, std::uint64_t height) {
    return width * height * 4;
}

std::uint64_t pixelBytes(const CCTexture2D* texture) {
    return pixelBytes(static_cast<std::uint64_t>(texture->getPixelsWide()),
                      static_cast<std::uint64_t>(texture->getPixelsHigh()));
}

constexpr std::uint64_t kMegabyte = 1024 * 1024;

} // namespace

CCTexture2D* CCTextureCache::addImage(const char* name) {
    if (!name || !*name) {
        CCLog("CCTextureCache::addImage: no image name given");
        return nullptr;
    }
    // A picture comes from anywhere: whatever its bytes make a decoder or a
    // header reader throw refuses that one picture, never the program.
    try {
        return loadImage(name);
    } catch (const std::exception& exception) {
        CCLog("CCTextureCache: refusing image file %s: reading it failed (%s)", name, exception.what());
    } catch (...) {
        CCLog("CCTextureCache: refusing image file %s: reading it failed", name);
    }
    return nullptr;
}

CCTexture2D* CCTextureCache::loadImage(const char* name) {
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    std::string fullPath = files->fullPathForFilename(name);
    if (fullPath.empty()) return nullptr; // refused, and logged, by the file layer
    auto found = m_textures.find(fullPath);
    if (found != m_textures.end()) return found->second;
    CCFileUtils::ReadError readError = CCFileUtils::ReadError::None;
    std::optional<std::string> bytes = files->getFileData(name, &readError, CCFileUtils::FileKind::Picture);
    if (!bytes) {
        if (readError == CCFileUtils::ReadError::Missing)
            CCLog("CCTextureCache: image file %s not found (%s)", name, fullPath.c_str());
        else if (readError == CCFileUtils::ReadError::Unreadable)
            CCLog("CCTextureCache: image file %s cannot be read (%s)", name, fullPath.c_str());
        return nullptr;
    }
    // The budget is checked on the size the header claims, before decoding;
    // a header beyond the side limit is refused by the decoder below.
    const ccImageHeader header = ccReadImageHeader(*bytes);
    if (header.sized && header.width <= CCTexture2D::kMaxImageSide &&
        header.height <= CCTexture2D::kMaxImageSide && !fitsBudget(pixelBytes(header.width, header.height))) {
        CCLog("CCTextureCache: refusing image file %s (%s): its %u x %u pixels would take the decoded "
              "pictures to %llu MB, beyond the budget of %llu MB",
              name, fullPath.c_str(), header.width, header.height,
              static_cast<unsigned long long>(
                  (m_pixelBytes + m_textBytes + pixelBytes(header.width, header.height)) / kMegabyte),
              static_cast<unsigned long long>(m_pixelBudget / kMegabyte));
        return nullptr;
    }
    std::string error;
    CCTexture2D* texture = CCTexture2D::createWithImageData(*bytes, &error);
    if (!texture) {
        CCLog("CCTextureCache: cannot decode image file %s (%s): %s", name, fullPath.c_str(), error.c_str());
        return nullptr;
    }
    texture->setPath(fullPath);
    texture->retain();
    m_textures[fullPath] = texture;
    m_pixelBytes += pixelBytes(texture);
    return texture;
}

bool CCTextureCache::fitsBudget(std::uint64_t bytes) {
    if (m_pixelBytes + m_textBytes + bytes <= m_pixelBudget) return true;
    removeUnusedTextures();
    return m_pixelBytes + m_textBytes + bytes <= m_pixelBudget;
}

bool CCTextureCache::reserveTextBytes(std::uint64_t bytes) {
    if (!fitsBudget(bytes)) return false;
    m_textBytes += bytes;
    return true;
}

void CCTextureCache::releaseTextBytes(std::uint64_t bytes) {
    m_textBytes -= std::min(bytes, m_textBytes);
}

void CCTextureCache::forget(std::map<std::string, CCTexture2D*>::iterator entry) {
    m_pixelBytes -= pixelBytes(entry->second);
    entry->second->release();
    m_textures.erase(entry);
}

CCTexture2D* CCTextureCache::textureForKey(const char* name) const {
    if (!name) return nullptr;
    auto normal = CCFileUtils::normalizeName(name);
    if (!normal) return nullptr;
    auto found = m_textures.find(CCFileUtils::sharedFileUtils()->fullPathForFilename(*normal));
    return found == m_textures.end() ? nullptr : found->second;
}

void CCTextureCache::removeUnusedTextures() {
    for (auto it = m_textures.begin(); it != m_textures.end();) {
        auto next = std::next(it);
        if (it->second->isSingleReference()) forget(it);
        it = next;
    }
}

void CCTextureCache::removeAllTextures() {
    for (auto& entry : m_textures)
        entry.second->release();
    m_textures.clear();
    m_pixelBytes = 0;
}

} // namespace engine
