#pragma once
// Loads each image once. Names resolve through CCFileUtils; textures are
// kept by full path, so two names of one file share a texture. The cache
// holds a reference on each texture; removeUnusedTextures drops those that
// nothing else holds; CCDirector::purgeCachedData calls it, and so does the
// end of every scene change.
//
// The decoded pixels of all cached pictures, and the images of text (which
// labels make and hold themselves), stay within one memory budget: a picture
// or a text image that would go beyond it is refused with a log line, once
// the pictures that nothing uses any more have been dropped.
#include <cstdint>
#include <map>
#include <string>

namespace engine {

class CCTexture2D;

class CCTextureCache {
  public:
    static CCTextureCache* sharedTextureCache();
    CCTextureCache(const CCTextureCache&) = delete;
    CCTextureCache& operator=(const CCTextureCache&) = delete;

    static constexpr std::uint64_t kDefaultPixelBudgetBytes = 512ull * 1024 * 1024;

    // The texture of an image file under the resource root, loaded on first
    // use. None, with one log line naming the file, when it is missing, cannot
    // be decoded or would exceed the budget (a refused name is logged by the
    // file layer).
    CCTexture2D* addImage(const char* name);
    CCTexture2D* addImage(const std::string& name) { return addImage(name.c_str()); }
    // The cached texture for a name, without loading.
    CCTexture2D* textureForKey(const char* name) const;

    void removeUnusedTextures();
    void removeAllTextures();
    unsigned int getTextureCount() const { return static_cast<unsigned int>(m_textures.size()); }
    // Bytes of decoded pixels that the cached pictures hold.
    std::uint64_t getPixelBytes() const { return m_pixelBytes; }
    std::uint64_t getPixelBudget() const { return m_pixelBudget; }
    // Bytes of text images held now (labels' own textures, not cached).
    std::uint64_t getTextBytes() const { return m_textBytes; }
    // Counts a text image of `bytes` against the budget; false, counting
    // nothing, when it would go beyond it even without unused pictures.
    bool reserveTextBytes(std::uint64_t bytes);
    // Gives back what reserveTextBytes counted, when that image goes.
    void releaseTextBytes(std::uint64_t bytes);
    // For tests: a budget small enough to reach with small pictures.
    void setPixelBudget(std::uint64_t bytes) { m_pixelBudget = bytes; }

  private:
    CCTextureCache() = default;
    ~CCTextureCache();

    CCTexture2D* loadImage(const char* name); // addImage without its net for exceptions
    // Whether a picture of `bytes` more fits, after dropping unused pictures if need be.
    bool fitsBudget(std::uint64_t bytes);
    void forget(std::map<std::string, CCTexture2D*>::iterator entry);

    std::map<std::string, CCTexture2D*> m_textures; // retained, by full path
    std::uint64_t m_pixelBytes = 0;                 // pictures
    std::uint64_t m_textBytes = 0;
    std::uint64_t m_pixelBudget = kDefaultPixelBudgetBytes;
};

} // namespace engine
