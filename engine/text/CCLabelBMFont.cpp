#include "engine/text/CCLabelBMFont.h"

#include "engine/base/CCLog.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/CCTextureCache.h"
#include "engine/text/CCBMFontConfiguration.h"
#include "engine/text/ccTextWrap.h"
#include "engine/text/ccUTF8.h"

#include <algorithm>
#include <cmath>

namespace engine {

CCLabelBMFont::CCLabelBMFont() = default;
CCLabelBMFont::~CCLabelBMFont() = default;

CCLabelBMFont* CCLabelBMFont::create() {
    return autoreleasedIf(new CCLabelBMFont(), [](CCLabelBMFont* l) { return l->init(); });
}

CCLabelBMFont* CCLabelBMFont::create(const char* text, const char* fntFile, float width,
                                     CCTextAlignment alignment, const CCPoint& imageOffset) {
    return autoreleasedIf(new CCLabelBMFont(), [&](CCLabelBMFont* l) {
        return l->initWithString(text, fntFile, width, alignment, imageOffset);
    });
}

bool CCLabelBMFont::init() {
    return initWithString("", nullptr);
}

bool CCLabelBMFont::initWithString(const char* text, const char* fntFile, float width,
                                   CCTextAlignment alignment, const CCPoint& imageOffset) {
    setAnchorPoint(ccp(0.5f, 0.5f));
    m_string = text ? text : "";
    m_width = width;
    m_alignment = alignment;
    m_imageOffset = imageOffset;
    loadFont(fntFile);
    updateLabel();
    return true;
}

void CCLabelBMFont::loadFont(const char* fntFile) {
    m_pages.clear();
    m_config.reset();
    m_fntFile = fntFile ? fntFile : "";
    if (m_fntFile.empty()) return;

    auto config = CCBMFontConfiguration::configurationWithFile(m_fntFile);
    if (!config) return;
    std::vector<CCRef<CCTexture2D>> pages;
    for (const std::string& name : config->getPages()) {
        CCTexture2D* texture = name.empty() ? nullptr : CCTextureCache::sharedTextureCache()->addImage(name);
        pages.emplace_back(texture); // a missing image was logged by the cache
    }
    // Every glyph must lie inside its page image.
    for (const auto& [id, glyph] : config->getChars()) {
        CCTexture2D* page = pages[static_cast<std::size_t>(glyph.page)].get();
        if (!page) continue;
        CCRect rect = glyph.rect;
        rect.origin = ccpAdd(rect.origin, m_imageOffset);
        if (rect.getMinX() < 0 || rect.getMinY() < 0 || rect.getMaxX() > page->getPixelsWide() ||
            rect.getMaxY() > page->getPixelsHigh()) {
            CCLog("CCLabelBMFont: %s: char %u lies outside its %d x %d page image; the font has no glyphs",
                  m_fntFile.c_str(), static_cast<unsigned>(id), page->getPixelsWide(), page->getPixelsHigh());
            return;
        }
    }
    m_config = std::move(config);
    m_pages = std::move(pages);
}

void CCLabelBMFont::setString(const char* text) {
    std::string value = text ? text : "";
    if (value == m_string) return;
    m_string = std::move(value);
    updateLabel();
}

void CCLabelBMFont::setWidth(float width) {
    if (width == m_width) return;
    m_width = width;
    updateLabel();
}

void CCLabelBMFont::setAlignment(CCTextAlignment alignment) {
    if (alignment == m_alignment) return;
    m_alignment = alignment;
    updateLabel();
}

float CCLabelBMFont::lineWidth(const std::string& line) const {
    float width = 0;
    char32_t previous = 0;
    for (std::size_t pos = 0; pos < line.size();) {
        char32_t cp = ccUTF8Next(line, pos);
        const CCBMFontChar* glyph = m_config->charFor(cp);
        if (!glyph) continue;
        width += static_cast<float>(glyph->xAdvance + m_config->kerning(previous, cp));
        previous = cp;
    }
    return width;
}

void CCLabelBMFont::updateLabel() {
    m_glyphs.clear();
    m_lineCount = 0;
    if (!m_config || m_string.empty()) {
        setContentSize(CCSize(m_width > 0 ? m_width : 0, 0));
        return;
    }
    std::string text = m_string;
    if (ccCutToCharacters(text, kLabelCharacterLimit))
        CCLog("CCLabelBMFont: a text of %zu bytes is cut to its first %zu characters, the most a label lays "
              "out",
              m_string.size(), kLabelCharacterLimit);
    std::vector<std::string> lines =
        ccWrapText(text, m_width, [this](const std::string& s) { return lineWidth(s); });
    float widest = 0;
    std::vector<float> widths;
    for (const std::string& line : lines) {
        widths.push_back(lineWidth(line));
        widest = std::max(widest, widths.back());
    }
    float boxWidth = m_width > 0 ? m_width : widest;
    float lineHeight = static_cast<float>(m_config->getLineHeight());
    float height = lineHeight * static_cast<float>(lines.size());
    m_lineCount = static_cast<int>(lines.size());

    for (std::size_t i = 0; i < lines.size(); ++i) {
        float free = boxWidth - widths[i];
        float x = m_alignment == kCCTextAlignmentLeft    ? 0
                  : m_alignment == kCCTextAlignmentRight ? free
                                                         : std::floor(free / 2);
        float top = height - lineHeight * static_cast<float>(i);
        char32_t previous = 0;
        for (std::size_t pos = 0; pos < lines[i].size();) {
            char32_t cp = ccUTF8Next(lines[i], pos);
            const CCBMFontChar* glyph = m_config->charFor(cp);
            if (!glyph) continue;
            x += static_cast<float>(m_config->kerning(previous, cp));
            previous = cp;
            if (glyph->rect.size.width > 0 && glyph->rect.size.height > 0 && m_pages[glyph->page]) {
                Glyph placed;
                placed.rect = CCRect(x + glyph->xOffset, top - glyph->yOffset - glyph->rect.size.height,
                                     glyph->rect.size.width, glyph->rect.size.height);
                placed.texRect = glyph->rect;
                placed.texRect.origin = ccpAdd(placed.texRect.origin, m_imageOffset);
                placed.page = glyph->page;
                m_glyphs.push_back(placed);
            }
            x += static_cast<float>(glyph->xAdvance);
        }
    }
    setContentSize(CCSize(boxWidth, height));
}

void CCLabelBMFont::draw() {
    if (m_glyphs.empty()) return;
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) return;
    ccColor4B color{m_displayedColor.r, m_displayedColor.g, m_displayedColor.b, m_displayedOpacity};
    for (const Glyph& glyph : m_glyphs) {
        CCAffineTransform world =
            CCAffineTransformTranslate(m_worldTransform, glyph.rect.origin.x, glyph.rect.origin.y);
        renderer->drawTexturedQuad(m_pages[glyph.page].get(), glyph.texRect, glyph.rect.size, world, color);
    }
}

} // namespace engine
