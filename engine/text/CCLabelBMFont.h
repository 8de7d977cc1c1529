#pragma once
// Text in a bitmap font: each character is a rectangle of a page image,
// placed by the font's offsets, advances and kerning. The font file and its
// page images come through CCBMFontConfiguration and the texture cache.
//
// With a width above 0 the text wraps to it (words whole where they fit) and
// lines align within it; otherwise lines align within the widest line. The
// content size is the width (or the widest line) by the line height times
// the number of lines. Characters the font lacks are skipped. A font that
// cannot be read leaves the label without glyphs (logged once).
#include "engine/base/CCGeometry.h"
#include "engine/nodes/CCNodeRGBA.h"
#include "engine/text/CCLabelProtocol.h"

#include <memory>
#include <string>
#include <vector>

namespace engine {

class CCBMFontConfiguration;
class CCTexture2D;

// Width that means "as wide as the text".
constexpr float kCCLabelAutomaticWidth = -1.0f;

class CCLabelBMFont : public CCNodeRGBA, public CCLabelProtocol {
public:
    ~CCLabelBMFont() override;

    static CCLabelBMFont* create();
    static CCLabelBMFont* create(const char* text, const char* fntFile, float width = kCCLabelAutomaticWidth,
                                 CCTextAlignment alignment = kCCTextAlignmentLeft,
                                 const CCPoint& imageOffset = CCPointZero);

    bool init() override;
    // `imageOffset` moves every glyph's rectangle in its page image.
    virtual bool initWithString(const char* text, const char* fntFile, float width = kCCLabelAutomaticWidth,
                                CCTextAlignment alignment = kCCTextAlignmentLeft,
                                const CCPoint& imageOffset = CCPointZero);

    void setString(const char* text) override;
    const char* getString() const override { return m_string.c_str(); }
    virtual void setWidth(float width);
    float getWidth() const { return m_width; }
    virtual void setAlignment(CCTextAlignment alignment);
    CCTextAlignment getAlignment() const { return m_alignment; }
    const char* getFntFile() const { return m_fntFile.c_str(); }

    // A placed character: where it lies in the label (points from the
    // lower-left corner) and which part of which page it shows.
    struct Glyph {
        CCRect rect;    // in the label
        CCRect texRect; // in the page image, pixels from its top-left corner
        int page = 0;
    };
    const std::vector<Glyph>& getGlyphs() const { return m_glyphs; }
    int getLineCount() const { return m_lineCount; }
    bool hasFont() const { return m_config != nullptr; }

    void draw() override;

protected:
    CCLabelBMFont(); // out of line: the texture's type is complete there
    void updateLabel();

private:
    void loadFont(const char* fntFile);
    float lineWidth(const std::string& line) const;

    std::string m_string;
    std::string m_fntFile;
    float m_width = kCCLabelAutomaticWidth;
    CCTextAlignment m_alignment = kCCTextAlignmentLeft;
    CCPoint m_imageOffset;
    std::shared_ptr<const CCBMFontConfiguration> m_config;
    std::vector<CCRef<CCTexture2D>> m_pages; // null for a page that failed to load
    std::vector<Glyph> m_glyphs;
    int m_lineCount = 0;
};

} // namespace engine
