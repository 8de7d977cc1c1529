#pragma once
// A named picture inside a texture, as a sprite sheet describes it.
//
// The rectangle is in points within the texture, with its size upright (as
// the picture is shown). A rotated frame is stored in the texture turned a
// quarter turn clockwise, so it occupies a rectangle of the swapped size
// there. A trimmed frame lost its transparent margin when the sheet was
// packed: the original size is the picture's full size, and the offset is
// how far the trimmed rectangle's centre lies from the full picture's centre
// (points, y up).
#include "engine/base/CCAffineTransform.h"
#include "engine/base/CCGeometry.h"
#include "engine/base/CCObject.h"
#include "engine/base/ccTypes.h"

namespace engine {

class CCTexture2D;

class CCSpriteFrame : public CCObject {
public:
    ~CCSpriteFrame() override;

    // The whole rectangle, untrimmed and upright.
    static CCSpriteFrame* createWithTexture(CCTexture2D* texture, const CCRect& rect);
    static CCSpriteFrame* createWithTexture(CCTexture2D* texture, const CCRect& rect, bool rotated,
                                            const CCPoint& offset, const CCSize& originalSize);
    // Same, from an image file under the resource root (loaded through the
    // texture cache; a frame without texture when it cannot be loaded).
    static CCSpriteFrame* create(const char* file, const CCRect& rect);

    CCTexture2D* getTexture() const { return m_texture.get(); }
    void setTexture(CCTexture2D* texture); // retained
    const CCRect& getRect() const { return m_rect; }
    bool isRotated() const { return m_rotated; }
    const CCPoint& getOffset() const { return m_offset; }
    const CCSize& getOriginalSize() const { return m_originalSize; }
    // The rectangle the frame covers in the texture, in points: the rect with
    // its size swapped when rotated.
    CCRect getTextureArea() const;

private:
    CCSpriteFrame(); // out of line: the texture's type is complete there

    CCRef<CCTexture2D> m_texture;
    CCRect m_rect;
    bool m_rotated = false;
    CCPoint m_offset;
    CCSize m_originalSize;
};

// Draws the part `area` of the texture (points, as stored there) stretched
// over `dest` (node points, y up), through the node's world transform. A
// rotated area holds its picture turned a quarter turn clockwise, and is
// drawn turned back, upright. Flips mirror the upright picture. Shared by
// sprites and nine-slice sprites.
void ccDrawTextureArea(CCTexture2D* texture, const CCRect& area, bool rotated, const CCRect& dest,
                       const CCAffineTransform& world, const ccColor4B& color, bool flipX = false,
                       bool flipY = false);

} // namespace engine
