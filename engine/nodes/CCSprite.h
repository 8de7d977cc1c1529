#pragma once
// A textured rectangle: a part of a texture (the texture rectangle, in
// points) drawn at the node's transform, tinted by its displayed colour and
// opacity. The anchor point is the centre.
//
// A sprite from a missing or broken image still exists: it has no texture,
// draws nothing and has a zero content size, and the texture cache has
// logged one line naming the file. Screens built from data then keep working
// around one bad picture.
#include "engine/base/CCGeometry.h"
#include "engine/nodes/CCNodeRGBA.h"

namespace engine {

class CCSpriteFrame;
class CCTexture2D;

class CCSprite : public CCNodeRGBA {
  public:
    ~CCSprite() override;

    // A sprite without texture.
    static CCSprite* create();
    // A sprite of a whole image file under the resource root.
    static CCSprite* create(const char* file);
    static CCSprite* createWithTexture(CCTexture2D* texture);
    static CCSprite* createWithTexture(CCTexture2D* texture, const CCRect& rect);
    // A sprite showing a frame; an unknown frame name gives a sprite without
    // texture and one log line naming it.
    static CCSprite* createWithSpriteFrameName(const char* frameName);

    bool init() override;
    // False only when no file is named; a file that cannot be loaded leaves
    // a sprite without texture (see above).
    virtual bool initWithFile(const char* file);
    virtual bool initWithTexture(CCTexture2D* texture);
    virtual bool initWithTexture(CCTexture2D* texture, const CCRect& rect);
    // False only when no frame (name) is given.
    virtual bool initWithSpriteFrame(CCSpriteFrame* frame);
    virtual bool initWithSpriteFrameName(const char* frameName);

    // Shows the whole new texture (a null one: nothing, zero size).
    virtual void setTexture(CCTexture2D* texture);
    CCTexture2D* getTexture() const { return m_texture.get(); }
    // The part of the texture shown, in points; the content size follows it.
    // A rotated frame stays rotated (the rect is then upright-sized); a
    // trimmed frame's offset is dropped.
    virtual void setTextureRect(const CCRect& rect);
    // The frame offset is kept; the content size becomes `untrimmedSize`.
    void setTextureRect(const CCRect& rect, bool rotated, const CCSize& untrimmedSize);
    const CCRect& getTextureRect() const { return m_rect; }
    bool isTextureRectRotated() const { return m_rectRotated; }
    // How far the shown rectangle's centre lies from the content's centre.
    const CCPoint& getFrameOffset() const { return m_frameOffset; }

    // Shows the frame: its texture, rectangle, rotation and trimming.
    virtual void setDisplayFrame(CCSpriteFrame* frame);
    bool isFrameDisplayed(CCSpriteFrame* frame) const;
    // A new (autoreleased) frame describing what the sprite shows.
    CCSpriteFrame* displayFrame() const;

    void setFlipX(bool flip) { m_flipX = flip; }
    bool isFlipX() const { return m_flipX; }
    void setFlipY(bool flip) { m_flipY = flip; }
    bool isFlipY() const { return m_flipY; }

    void draw() override;

  protected:
    CCSprite(); // out of line: the texture's type is complete there

    CCRef<CCTexture2D> m_texture;
    CCRect m_rect;
    bool m_rectRotated = false;
    CCPoint m_frameOffset;
    bool m_flipX = false;
    bool m_flipY = false;
};

} // namespace engine
