#pragma once
// Text in a system font, drawn as one texture.
//
// The font name goes through CCFontCache (fontconfig names, GBK names, font
// files, a logged fallback for unknown names). With a dimensions width the
// text wraps to it: words move to the next line whole, a word longer than
// the width is broken between characters, and CJK text may break between
// any two characters. A dimensions height of 0 grows with the text; a
// height holds the text block where the vertical alignment puts it. The
// lines are laid out here rather than by SDL_ttf, so a centred line is
// centred on its ink and not on a trailing space.
//
// The content size is in points. The texture is rasterised at the window's
// pixel scale, so the text stays sharp when the design area is stretched,
// and only when the text, font, size, dimensions or alignment changed (or
// the window's scale did); colour and opacity only tint it.
//
// Where the window stretches the design area more across than up (or the
// other way), the text keeps the font's own proportions: its glyphs are
// drawn at the font size as the window scales heights, one texture pixel to
// a screen pixel, so a point of text is narrower than a design point. The
// dimensions stay where they are put; a label without a width is as wide as
// its text then shows. The image is
// cut to twice the page a side, and counts against the texture cache's
// memory budget: text that would pass it is refused with a log line.
#include "engine/base/CCGeometry.h"
#include "engine/nodes/CCSprite.h"
#include "engine/text/CCFontCache.h"
#include "engine/text/CCLabelProtocol.h"

#include <string>
#include <vector>

namespace engine {

class CCLabelTTF : public CCSprite, public CCLabelProtocol {
public:
    ~CCLabelTTF() override;

    // An empty label in the default font.
    static CCLabelTTF* create();
    // Centred lines, no wrapping, top alignment.
    static CCLabelTTF* create(const char* text, const char* fontName, float fontSize);
    static CCLabelTTF* create(const char* text, const char* fontName, float fontSize,
                              const CCSize& dimensions, CCTextAlignment hAlignment);
    static CCLabelTTF* create(const char* text, const char* fontName, float fontSize,
                              const CCSize& dimensions, CCTextAlignment hAlignment,
                              CCVerticalTextAlignment vAlignment);

    bool init() override;
    virtual bool initWithString(const char* text, const char* fontName, float fontSize,
                                const CCSize& dimensions = CCSizeZero,
                                CCTextAlignment hAlignment = kCCTextAlignmentCenter,
                                CCVerticalTextAlignment vAlignment = kCCVerticalTextAlignmentTop);

    // The displayed text.
    void setString(const char* text) override;
    const char* getString() const override { return m_string.c_str(); }
    virtual void setFontName(const char* fontName);
    const char* getFontName() const { return m_fontName.c_str(); }
    // Points; sizes of 0 or less keep the old size.
    virtual void setFontSize(float fontSize);
    float getFontSize() const { return m_fontSize; }
    // Zero width: no wrapping; zero height: as tall as the text.
    virtual void setDimensions(const CCSize& dimensions);
    const CCSize& getDimensions() const { return m_dimensions; }
    virtual void setHorizontalAlignment(CCTextAlignment alignment);
    CCTextAlignment getHorizontalAlignment() const { return m_hAlignment; }
    virtual void setVerticalAlignment(CCVerticalTextAlignment alignment);
    CCVerticalTextAlignment getVerticalAlignment() const { return m_vAlignment; }

    // The face the font name resolves to, for the current text.
    const CCFontFace& getFontFace() const;
    // Lines after wrapping.
    const std::vector<std::string>& getLines() const { return m_lines; }
    // Rasterises now if anything changed since the last time (drawing does
    // it too); the texture is then getTexture().
    void updateTexture();
    // Rasterisations of this label, and of all labels since start-up.
    int getRasterCount() const { return m_rasterCount; }
    static long totalRasterCount();

    void draw() override;

    static constexpr const char* kDefaultFontName = "Helvetica";
    static constexpr float kDefaultFontSize = 12.0f;
    // The largest glyph height in pixels: far above any legible text, and
    // below the sizes where FreeType's arithmetic gives up (a font size near
    // 2^31 comes out one pixel high).
    static constexpr int kLargestFontPixels = 2048;
    // A text image is at most this many pages of 640 x 960 points a side.
    static constexpr float kLargestPartOfPage = 2.0f;
    static constexpr float kPageWidth = 640.0f, kPageHeight = 960.0f;

protected:
    CCLabelTTF() = default;
    // Draws the texture tinted with `color`; the text field tints its placeholder.
    void drawText(const ccColor4B& color);
    // Line breaking and content size; the next draw rasterises.
    void relayout();

private:
    void rasterise();
    // Window pixels per point across and up, within sensible bounds.
    static CCSize pixelScale();
    // The dimensions laid out in: no side beyond the largest texture.
    CCSize drawableDimensions();

    std::string m_string;
    std::string m_fontName = kDefaultFontName;
    float m_fontSize = kDefaultFontSize;
    CCSize m_dimensions;
    bool m_clampLogged = false;   // once per dimensions set, not per relayout
    bool m_cutLogged = false;     // once per text, not per relayout
    bool m_sizeCapLogged = false; // once per font size
    CCTextAlignment m_hAlignment = kCCTextAlignmentCenter;
    CCVerticalTextAlignment m_vAlignment = kCCVerticalTextAlignmentTop;

    // Layout, in pixels at m_scaleX across and m_scaleY up. An empty label
    // leaves its face unresolved: finding fonts is the dearest part of
    // start-up, and a screen of pictures alone needs none.
    mutable CCFontFace m_face;
    mutable bool m_faceKnown = false;
    float m_scaleX = 1.0f, m_scaleY = 1.0f;
    int m_pixelSize = 0;
    std::vector<std::string> m_lines;
    int m_lineSkip = 0, m_blockHeight = 0;
    bool m_needsRaster = true;
    int m_rasterCount = 0;
    CCRect m_quadRect; // where the texture lies in the content, points
};

} // namespace engine
