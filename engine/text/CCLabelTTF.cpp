#include "engine/text/CCLabelTTF.h"

#include "engine/base/CCLog.h"
#include "engine/platform/CCEGLView.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/CCTextureCache.h"
#include "engine/text/ccTextWrap.h"
#include "engine/text/ccUTF8.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

long s_totalRasterCount = 0;

int textWidth(TTF_Font* font, const std::string& text) {
    if (text.empty()) return 0;
    int w = 0, h = 0;
    return TTF_SizeUTF8(font, text.c_str(), &w, &h) == 0 ? w : 0;
}

// Copies the coverage of a rendered line into the label's image; where
// lines overlap the stronger coverage wins.
// The longest start of `line` that reaches past `width` pixels by at most
// one character (whose ink may still show at the edge), found by halving.
std::string visiblePart(TTF_Font* font, const std::string& line, int width) {
    if (textWidth(font, line) <= width) return line;
    std::vector<std::size_t> ends; // byte offset after each character
    for (std::size_t pos = 0; pos < line.size();) {
        ccUTF8Next(line, pos);
        ends.push_back(pos);
    }
    std::size_t low = 0, high = ends.size(); // ends[low - 1] fits; ends[high - 1] is the whole line
    while (low < high) {
        const std::size_t middle = (low + high + 1) / 2;
        if (textWidth(font, line.substr(0, ends[middle - 1])) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    return line.substr(0, ends[std::min(low, ends.size() - 1)]);
}

void mergeLine(SDL_Surface* line, SDL_Surface* box, int x, int y) {
    SDL_Surface* argb = line->format->format == SDL_PIXELFORMAT_ARGB8888
                            ? line
                            : SDL_ConvertSurfaceFormat(line, SDL_PIXELFORMAT_ARGB8888, 0);
    if (!argb) return;
    for (int row = 0; row < argb->h; ++row) {
        int boxY = y + row;
        if (boxY < 0 || boxY >= box->h) continue;
        auto* src =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(argb->pixels) + row * argb->pitch);
        auto* dst = reinterpret_cast<Uint32*>(static_cast<Uint8*>(box->pixels) + boxY * box->pitch);
        for (int col = 0; col < argb->w; ++col) {
            int boxX = x + col;
            if (boxX < 0 || boxX >= box->w) continue;
            Uint32 alpha = std::max(src[col] >> 24, dst[boxX] >> 24);
            dst[boxX] = (alpha << 24) | 0x00FFFFFF;
        }
    }
    if (argb != line) SDL_FreeSurface(argb);
}

} // namespace

CCLabelTTF::~CCLabelTTF() = default;

CCLabelTTF* CCLabelTTF::create() {
    return autoreleasedIf(new CCLabelTTF(), [](CCLabelTTF* l) { return l->init(); });
}

CCLabelTTF* CCLabelTTF::create(const char* text, const char* fontName, float fontSize) {
    return create(text, fontName, fontSize, CCSizeZero, kCCTextAlignmentCenter, kCCVerticalTextAlignmentTop);
}

CCLabelTTF* CCLabelTTF::create(const char* text, const char* fontName, float fontSize,
                               const CCSize& dimensions, CCTextAlignment hAlignment) {
    return create(text, fontName, fontSize, dimensions, hAlignment, kCCVerticalTextAlignmentTop);
}

CCLabelTTF* CCLabelTTF::create(const char* text, const char* fontName, float fontSize,
                               const CCSize& dimensions, CCTextAlignment hAlignment,
                               CCVerticalTextAlignment vAlignment) {
    return autoreleasedIf(new CCLabelTTF(), [&](CCLabelTTF* l) {
        return l->initWithString(text, fontName, fontSize, dimensions, hAlignment, vAlignment);
    });
}

bool CCLabelTTF::init() {
    return initWithString("", kDefaultFontName, kDefaultFontSize);
}

bool CCLabelTTF::initWithString(const char* text, const char* fontName, float fontSize,
                                const CCSize& dimensions, CCTextAlignment hAlignment,
                                CCVerticalTextAlignment vAlignment) {
    if (!CCSprite::init()) return false;
    m_string = text ? text : "";
    m_fontName = fontName ? fontName : "";
    m_fontSize = fontSize > 0 ? fontSize : kDefaultFontSize;
    m_dimensions = CCSize(std::max(0.0f, dimensions.width), std::max(0.0f, dimensions.height));
    m_hAlignment = hAlignment;
    m_vAlignment = vAlignment;
    relayout();
    return true;
}

void CCLabelTTF::setString(const char* text) {
    std::string value = text ? text : "";
    if (value == m_string) return;
    m_string = std::move(value);
    m_cutLogged = false;
    relayout();
}

void CCLabelTTF::setFontName(const char* fontName) {
    std::string value = fontName ? fontName : "";
    if (value == m_fontName) return;
    m_fontName = std::move(value);
    relayout();
}

void CCLabelTTF::setFontSize(float fontSize) {
    if (!(fontSize > 0) || fontSize == m_fontSize) return;
    m_fontSize = fontSize;
    m_sizeCapLogged = false;
    relayout();
}

void CCLabelTTF::setDimensions(const CCSize& dimensions) {
    CCSize value(std::max(0.0f, dimensions.width), std::max(0.0f, dimensions.height));
    if (value.width == m_dimensions.width && value.height == m_dimensions.height) return;
    m_dimensions = value;
    m_clampLogged = false;
    relayout();
}

void CCLabelTTF::setHorizontalAlignment(CCTextAlignment alignment) {
    if (alignment == m_hAlignment) return;
    m_hAlignment = alignment;
    m_needsRaster = true; // the line breaks stay
}

void CCLabelTTF::setVerticalAlignment(CCVerticalTextAlignment alignment) {
    if (alignment == m_vAlignment) return;
    m_vAlignment = alignment;
    m_needsRaster = true;
}

long CCLabelTTF::totalRasterCount() {
    return s_totalRasterCount;
}

CCSize CCLabelTTF::pixelScale() {
    const CCScreenMapping& mapping = CCEGLView::sharedOpenGLView()->getScreenMapping();
    auto bounded = [](float scale) {
        return std::isfinite(scale) && scale > 0 ? std::clamp(scale, 0.25f, 8.0f) : 1.0f;
    };
    return CCSize(bounded(mapping.scaleX), bounded(mapping.scaleY));
}

CCSize CCLabelTTF::drawableDimensions() {
    // Clamped as floats: a width of 2^31 pixels or more has no int value.
    int maxPixels = CCSDLRenderer::largestTexture();
    CCSize box(std::min(m_dimensions.width, static_cast<float>(maxPixels) / m_scaleX),
               std::min(m_dimensions.height, static_cast<float>(maxPixels) / m_scaleY));
    if ((box.width != m_dimensions.width || box.height != m_dimensions.height) && !m_clampLogged) {
        m_clampLogged = true;
        CCLog(
            "CCLabelTTF: dimensions %g x %g are beyond the largest texture (%d pixels a side); using %g x %g",
            m_dimensions.width, m_dimensions.height, maxPixels, box.width, box.height);
    }
    return box;
}

void CCLabelTTF::relayout() {
    m_needsRaster = true;
    const CCSize scale = pixelScale();
    m_scaleX = scale.width;
    m_scaleY = scale.height;
    const CCSize dimensions = drawableDimensions();
    m_faceKnown = false;
    // Compared as floats: a size of 2^31 pixels or more has no int value.
    const float pixels = m_fontSize * m_scaleY;
    m_pixelSize = pixels >= kLargestFontPixels ? kLargestFontPixels
                                               : std::max(1, static_cast<int>(std::lround(pixels)));
    if (pixels > kLargestFontPixels && !m_sizeCapLogged)
        CCLog("CCLabelTTF: font size %g is beyond the largest of %d pixels; using %d", m_fontSize,
              kLargestFontPixels, kLargestFontPixels);
    TTF_Font* font =
        m_string.empty() ? nullptr : CCFontCache::sharedFontCache()->font(getFontFace(), m_pixelSize);

    m_lines.clear();
    m_lineSkip = m_blockHeight = 0;
    int blockWidth = 0;
    std::string text = m_string;
    if (ccCutToCharacters(text, kLabelCharacterLimit) && !m_cutLogged)
        CCLog("CCLabelTTF: a text of %zu bytes is cut to its first %zu characters, the most a label lays out",
              m_string.size(), kLabelCharacterLimit);
    m_cutLogged = m_sizeCapLogged = true;
    if (font && !text.empty()) {
        int wrap =
            dimensions.width > 0 ? std::max(1, static_cast<int>(std::floor(dimensions.width * m_scaleX))) : 0;
        m_lines = ccWrapText(text, static_cast<float>(wrap),
                             [font](const std::string& s) { return static_cast<float>(textWidth(font, s)); });
        for (const std::string& line : m_lines)
            blockWidth = std::max(blockWidth, textWidth(font, line));
        m_lineSkip = TTF_FontLineSkip(font);
        m_blockHeight = m_lineSkip * (static_cast<int>(m_lines.size()) - 1) + TTF_FontHeight(font);
    }
    CCSize size(dimensions.width > 0 ? dimensions.width : blockWidth / m_scaleX,
                dimensions.height > 0 ? dimensions.height : m_blockHeight / m_scaleY);
    m_rect = CCRect(0, 0, size.width, size.height);
    setContentSize(size);
}

const CCFontFace& CCLabelTTF::getFontFace() const {
    if (!m_faceKnown) {
        m_face = CCFontCache::sharedFontCache()->faceForName(m_fontName, ccContainsCJK(m_string));
        m_faceKnown = true;
    }
    return m_face;
}

void CCLabelTTF::updateTexture() {
    const CCSize scale = pixelScale();
    if (scale.width != m_scaleX || scale.height != m_scaleY) relayout();
    if (m_needsRaster) rasterise();
}

void CCLabelTTF::rasterise() {
    m_needsRaster = false;
    ++m_rasterCount;
    ++s_totalRasterCount;
    m_texture = nullptr;
    const CCSize& size = getContentSize();
    int width = static_cast<int>(std::lround(size.width * m_scaleX));
    int height = static_cast<int>(std::lround(size.height * m_scaleY));
    if (m_lines.empty() || width <= 0 || height <= 0) return;
    TTF_Font* font = CCFontCache::sharedFontCache()->font(getFontFace(), m_pixelSize);
    if (!font) return;
    // No text image is larger than its part of the page: twice the page a
    // side is more than any text can show there, whatever its size.
    const int maxWidth = std::min(CCSDLRenderer::largestTexture(),
                                  static_cast<int>(std::ceil(kLargestPartOfPage * kPageWidth * m_scaleX)));
    const int maxHeight = std::min(CCSDLRenderer::largestTexture(),
                                   static_cast<int>(std::ceil(kLargestPartOfPage * kPageHeight * m_scaleY)));
    if (width > maxWidth || height > maxHeight) {
        CCLog("CCLabelTTF: text of %d x %d pixels is cut to %d x %d, twice the page at most", width, height,
              std::min(width, maxWidth), std::min(height, maxHeight));
        width = std::min(width, maxWidth);
        height = std::min(height, maxHeight);
    }
    // Text images share the pictures' memory budget: a page of huge text is
    // refused by its text rather than taking the program's memory.
    const std::uint64_t bytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4;
    CCTextureCache* budget = CCTextureCache::sharedTextureCache();
    if (!budget->reserveTextBytes(bytes)) {
        std::string shown = m_string;
        ccCutToCharacters(shown, 40);
        CCLog(
            "CCLabelTTF: refusing the text \"%s\": its %d x %d pixels would take the pictures and text to "
            "%llu MB, beyond the budget of %llu MB",
            shown.c_str(), width, height,
            static_cast<unsigned long long>((budget->getPixelBytes() + budget->getTextBytes() + bytes) >> 20),
            static_cast<unsigned long long>(budget->getPixelBudget() >> 20));
        return;
    }
    SDL_Surface* box = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!box) {
        budget->releaseTextBytes(bytes);
        CCLog("CCLabelTTF: no memory for a %d x %d text image: %s", width, height, SDL_GetError());
        return;
    }
    SDL_FillRect(box, nullptr, 0x00FFFFFF);

    int fullHeight = static_cast<int>(std::lround(size.height * m_scaleY));
    int top = m_vAlignment == kCCVerticalTextAlignmentTop      ? 0
              : m_vAlignment == kCCVerticalTextAlignmentBottom ? fullHeight - m_blockHeight
                                                               : (fullHeight - m_blockHeight) / 2;
    int fullWidth = static_cast<int>(std::lround(size.width * m_scaleX));
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (top + static_cast<long>(i) * m_lineSkip >= height) break; // below a cut image
        if (m_lines[i].empty()) continue;
        int x = m_hAlignment == kCCTextAlignmentLeft    ? 0
                : m_hAlignment == kCCTextAlignmentRight ? fullWidth - textWidth(font, m_lines[i])
                                                        : (fullWidth - textWidth(font, m_lines[i])) / 2;
        // Only what lies on a cut image is drawn: a line far wider would make
        // a line image of hundreds of megabytes first.
        const std::string visible = visiblePart(font, m_lines[i], std::max(0, width - x));
        SDL_Surface* line = TTF_RenderUTF8_Blended(font, visible.c_str(), SDL_Color{255, 255, 255, 255});
        if (!line) continue; // white space only
        mergeLine(line, box, x, top + static_cast<int>(i) * m_lineSkip);
        SDL_FreeSurface(line);
    }
    m_texture = CCTexture2D::createWithSurface(box);
    m_texture->chargeToBudget(bytes);
    // The image covers the content from its top; a cut image ends early.
    float quadWidth = width / m_scaleX, quadHeight = height / m_scaleY;
    m_quadRect = CCRect(0, size.height - quadHeight, quadWidth, quadHeight);
}

void CCLabelTTF::drawText(const ccColor4B& color) {
    updateTexture();
    if (!m_texture) return;
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) return;
    CCRect pixels(0, 0, static_cast<float>(m_texture->getPixelsWide()),
                  static_cast<float>(m_texture->getPixelsHigh()));
    CCAffineTransform world =
        CCAffineTransformTranslate(m_worldTransform, m_quadRect.origin.x, m_quadRect.origin.y);
    renderer->drawTexturedQuad(m_texture.get(), pixels, m_quadRect.size, world, color, m_flipX, m_flipY);
}

void CCLabelTTF::draw() {
    drawText(ccColor4B{m_displayedColor.r, m_displayedColor.g, m_displayedColor.b, m_displayedOpacity});
}

} // namespace engine
