#pragma once
// Sprite frames by name, loaded from property-list sprite sheets.
//
// A sheet is a dictionary with "frames" (frame name -> frame dictionary) and
// optionally "metadata" ("format" 0 to 3, "textureFileName" or
// "realTextureFileName"). The texture is named in the metadata relative to
// the sheet's folder; without a name there it is the sheet's name with
// ".png". Frame dictionaries by format:
//   0    x, y, width, height, offsetX, offsetY, originalWidth, originalHeight
//   1, 2 frame "{{x,y},{w,h}}", offset "{x,y}", sourceSize "{w,h}",
//        sourceColorRect; format 2 adds rotated
//   3    textureRect, spriteOffset, spriteSourceSize, textureRotated,
//        aliases (other names of the frame)
// Without a format the frames' keys tell which one it is.
//
// A sheet is taken whole or not at all: a missing "frames", a value of the
// wrong type, a rectangle that does not parse or lies outside the texture,
// or a texture that cannot be loaded gives one log line naming the sheet
// and adds no frame.
#include "engine/base/CCObject.h"

#include <map>
#include <set>
#include <string>

namespace engine {

class CCDictionary;
class CCSpriteFrame;
class CCTexture2D;

class CCSpriteFrameCache {
public:
    static CCSpriteFrameCache* sharedSpriteFrameCache();
    // Drops every frame and the cache itself.
    static void purgeSharedSpriteFrameCache();
    CCSpriteFrameCache(const CCSpriteFrameCache&) = delete;
    CCSpriteFrameCache& operator=(const CCSpriteFrameCache&) = delete;

    // Loads a sheet under the resource root once; loading it again adds
    // nothing until its frames are removed. False when it was malformed.
    bool addSpriteFramesWithFile(const char* plistName);
    // Same, with the texture given by the caller.
    bool addSpriteFramesWithFile(const char* plistName, const char* textureFileName);
    bool addSpriteFramesWithFile(const char* plistName, CCTexture2D* texture);
    // A sheet already read; `origin` names it in the log line.
    bool addSpriteFramesWithDictionary(CCDictionary* sheet, CCTexture2D* texture, const char* origin);

    // Replaces any frame of that name.
    void addSpriteFrame(CCSpriteFrame* frame, const char* name);
    // The frame of that name (or alias), or none.
    CCSpriteFrame* spriteFrameByName(const char* name) const;

    void removeSpriteFrames();
    // Frames that only the cache holds.
    void removeUnusedSpriteFrames();
    void removeSpriteFrameByName(const char* name);
    // The frames that this sheet names.
    void removeSpriteFramesFromFile(const char* plistName);
    unsigned int getFrameCount() const { return static_cast<unsigned int>(m_frames.size()); }

private:
    CCSpriteFrameCache() = default;
    ~CCSpriteFrameCache() = default;
    bool loadFile(const char* plistName, CCTexture2D* texture, const char* textureFileName);
    void forgetLoadedFiles() { m_loadedFiles.clear(); }
    void dropAliasesOf(const std::string& name);

    std::map<std::string, CCRef<CCSpriteFrame>> m_frames;
    std::map<std::string, std::string> m_aliases; // alias -> frame name
    std::set<std::string> m_loadedFiles;
};

} // namespace engine
