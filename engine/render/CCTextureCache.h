#pragma once
// Loads each image once. Names resolve through CCFileUtils; textures are
// kept by full path, so two names of one file share a texture. The cache
// holds a reference on each texture; removeUnusedTextures drops those that
// nothing else holds, and CCDirector::purgeCachedData calls it.
#include <map>
#include <string>

namespace engine {

class CCTexture2D;

class CCTextureCache {
  public:
    static CCTextureCache* sharedTextureCache();
    CCTextureCache(const CCTextureCache&) = delete;
    CCTextureCache& operator=(const CCTextureCache&) = delete;

    // The texture of an image file under the resource root, loaded on first
    // use. None, with one log line naming the file, when it is missing or
    // cannot be decoded (a refused name is logged by the file layer).
    CCTexture2D* addImage(const char* name);
    CCTexture2D* addImage(const std::string& name) { return addImage(name.c_str()); }
    // The cached texture for a name, without loading.
    CCTexture2D* textureForKey(const char* name) const;

    void removeUnusedTextures();
    void removeAllTextures();
    void removeTexture(CCTexture2D* texture);
    void removeTextureForKey(const char* name);
    unsigned int getTextureCount() const { return static_cast<unsigned int>(m_textures.size()); }

  private:
    CCTextureCache() = default;
    ~CCTextureCache();

    std::map<std::string, CCTexture2D*> m_textures; // retained, by full path
};

} // namespace engine
