#include "engine/render/CCTextureCache.h"

#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCTexture2D.h"

namespace engine {

CCTextureCache* CCTextureCache::sharedTextureCache() {
    static CCTextureCache* cache = [] {
        auto* created = new CCTextureCache();
        CCDirector::sharedDirector()->addPurgeListener([] { sharedTextureCache()->removeUnusedTextures(); });
        return created;
    }();
    return cache;
}

CCTextureCache::~CCTextureCache() {
    removeAllTextures();
}

CCTexture2D* CCTextureCache::addImage(const char* name) {
    if (!name || !*name) {
        CCLog("CCTextureCache::addImage: no image name given");
        return nullptr;
    }
    std::string fullPath = CCFileUtils::sharedFileUtils()->fullPathForFilename(name);
    if (fullPath.empty()) return nullptr; // refused, and logged, by the file layer
    auto found = m_textures.find(fullPath);
    if (found != m_textures.end()) return found->second;
    if (!CCFileUtils::sharedFileUtils()->isFileExist(name)) {
        CCLog("CCTextureCache: image file %s not found (%s)", name, fullPath.c_str());
        return nullptr;
    }
    std::string error;
    CCTexture2D* texture = CCTexture2D::createWithFile(fullPath, &error);
    if (!texture) {
        CCLog("CCTextureCache: cannot decode image file %s (%s): %s", name, fullPath.c_str(), error.c_str());
        return nullptr;
    }
    texture->retain();
    m_textures[fullPath] = texture;
    return texture;
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
        if (it->second->isSingleReference()) {
            it->second->release();
            it = m_textures.erase(it);
        } else {
            ++it;
        }
    }
}

void CCTextureCache::removeAllTextures() {
    for (auto& entry : m_textures)
        entry.second->release();
    m_textures.clear();
}

void CCTextureCache::removeTexture(CCTexture2D* texture) {
    for (auto it = m_textures.begin(); it != m_textures.end(); ++it) {
        if (it->second == texture) {
            it->second->release();
            m_textures.erase(it);
            return;
        }
    }
}

void CCTextureCache::removeTextureForKey(const char* name) {
    if (CCTexture2D* texture = textureForKey(name)) removeTexture(texture);
}

} // namespace engine
