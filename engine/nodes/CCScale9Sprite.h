#pragma once
// A nine-slice image: the picture is cut into a 3 x 3 grid by the cap-inset
// rectangle (the centre part, in points of the picture, y down from its top
// row as texture rectangles are). Drawn at its content size (the preferred
// size): corners keep their size, the top and bottom edges stretch
// horizontally, the left and right edges vertically, the centre both ways.
// A zero cap-inset rectangle means the centre third in each direction.
//
// When the preferred size is smaller than the two corners along an axis,
// the corners shrink together in proportion and the middle vanishes, so
// the corners never overlap.
//
// Created empty, it draws nothing until initialised from an image file or a
// sprite frame; a missing one leaves it empty (logged by the loaders).
// Colour and opacity tint it as they tint a sprite.
#include "engine/base/CCGeometry.h"
#include "engine/nodes/CCNodeRGBA.h"

namespace engine {

class CCSpriteFrame;
class CCTexture2D;

class CCScale9Sprite : public CCNodeRGBA {
public:
    ~CCScale9Sprite() override;

    static CCScale9Sprite* create();
    static CCScale9Sprite* create(const char* file);
    static CCScale9Sprite* create(const char* file, const CCRect& rect, const CCRect& capInsets);
    static CCScale9Sprite* createWithSpriteFrameName(const char* name);
    static CCScale9Sprite* createWithSpriteFrameName(const char* name, const CCRect& capInsets);

    bool init() override;
    // Each initialisation shows the new picture at its own size (the
    // preferred size becomes the original size). False only when no name or
    // frame is given.
    virtual bool initWithFile(const char* file);
    // `rect` is the part of the image, in points; a zero rect is all of it.
    virtual bool initWithFile(const char* file, const CCRect& rect);
    virtual bool initWithFile(const char* file, const CCRect& rect, const CCRect& capInsets);
    virtual bool initWithSpriteFrame(CCSpriteFrame* frame);
    virtual bool initWithSpriteFrame(CCSpriteFrame* frame, const CCRect& capInsets);
    virtual bool initWithSpriteFrameName(const char* name);
    virtual bool initWithSpriteFrameName(const char* name, const CCRect& capInsets);

    void setCapInsets(const CCRect& capInsets) { m_capInsets = capInsets; }
    const CCRect& getCapInsets() const { return m_capInsets; }
    void setPreferredSize(const CCSize& size) { setContentSize(size); }
    const CCSize& getPreferredSize() const { return getContentSize(); }
    // The picture's own size.
    const CCSize& getOriginalSize() const { return m_originalSize; }
    CCTexture2D* getTexture() const { return m_texture.get(); }

    void draw() override;

protected:
    CCScale9Sprite(); // out of line: the texture's type is complete there

private:
    bool show(CCTexture2D* texture, const CCRect& rect, bool rotated, const CCRect& capInsets);
    // The cap insets in force: the zero rectangle's thirds, clamped to the picture.
    CCRect effectiveInsets() const;

    CCRef<CCTexture2D> m_texture;
    CCRect m_rect;                    // the picture in the texture, upright size
    bool m_rotated = false;
    CCSize m_originalSize;
    CCRect m_capInsets;
};

} // namespace engine
