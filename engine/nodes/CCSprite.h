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

    bool init() override;
    // False only when no file is named; a file that cannot be loaded leaves
    // a sprite without texture (see above).
    virtual bool initWithFile(const char* file);
    virtual bool initWithTexture(CCTexture2D* texture);
    virtual bool initWithTexture(CCTexture2D* texture, const CCRect& rect);

    // Shows the whole new texture (a null one: nothing, zero size).
    virtual void setTexture(CCTexture2D* texture);
    CCTexture2D* getTexture() const { return m_texture; }
    // The part of the texture shown, in points; the content size follows it.
    virtual void setTextureRect(const CCRect& rect);
    const CCRect& getTextureRect() const { return m_rect; }

    void setFlipX(bool flip) { m_flipX = flip; }
    bool isFlipX() const { return m_flipX; }
    void setFlipY(bool flip) { m_flipY = flip; }
    bool isFlipY() const { return m_flipY; }

    void draw() override;

  protected:
    CCSprite() = default;

    CCTexture2D* m_texture = nullptr; // retained
    CCRect m_rect;
    bool m_flipX = false;
    bool m_flipY = false;
};

} // namespace engine
