#include "tools/book/WordLayout.h"

#include "engine/platform/CCEGLView.h"
#include "engine/text/CCFontCache.h"
#include "engine/text/CCLabelTTF.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>

namespace bookmaker {

namespace {

int textWidth(TTF_Font* font, const std::string& text) {
    int w = 0, h = 0;
    if (text.empty() || TTF_SizeUTF8(font, text.c_str(), &w, &h) != 0) return 0;
    return w;
}

// Highest ascender and lowest descender among the glyphs a word may have, so
// that every highlight of a line has the same height.
void glyphExtent(TTF_Font* font, int& above, int& below) {
    above = below = 0;
    const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZbdfhijkltgjpqy0123456789'";
    for (const char* c = letters; *c; ++c) {
        int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
        if (TTF_GlyphMetrics32(font, static_cast<Uint32>(*c), &minx, &maxx, &miny, &maxy, &advance) != 0)
            continue;
        above = std::max(above, maxy);
        below = std::max(below, -miny);
    }
}

} // namespace

WordLayout::WordLayout(const std::string& sentence, const std::vector<Word>& words,
                       const std::string& fontName, float fontSize, const engine::CCRect& box, float squeeze)
    : m_squeeze(squeeze) {
    using namespace engine;
    // Wrapped as wide as it may be before the squeeze, which keeps it in the box.
    m_label = CCLabelTTF::create(sentence.c_str(), fontName.c_str(), fontSize,
                                 CCSize(box.size.width / squeeze, 0), kCCTextAlignmentCenter);
    m_label->retain();
    m_label->setAnchorPoint(CCPoint(0.5f, 0.5f));
    m_label->setPosition(CCPoint(box.getMidX(), box.getMidY()));
    m_label->setScaleX(squeeze);
    // The label is squeezed about its centre: where an x of the unsqueezed
    // label is printed.
    const float middle = box.getMidX();
    auto printed = [&](float x) { return middle + (x - middle) * squeeze; };

    const CCScreenMapping& mapping = CCEGLView::sharedOpenGLView()->getScreenMapping();
    if (mapping.scaleX != 1.0f || mapping.scaleY != 1.0f) {
        m_error = "the view must show one pixel per point";
        return;
    }
    int pixelSize = std::max(1, static_cast<int>(std::lround(fontSize)));
    TTF_Font* font = CCFontCache::sharedFontCache()->font(m_label->getFontFace(), pixelSize);
    if (!font) {
        m_error = "cannot open the font " + fontName;
        return;
    }
    if (CCFontCache::sharedFontCache()->faceForName(fontName, false).family.find(fontName) ==
        std::string::npos) {
        m_error = "the font " + fontName + " is not installed (found " + m_label->getFontFace().family + ")";
        return;
    }

    // The label's own arithmetic: lines from its top, each centred on the
    // label's whole width in whole pixels.
    const CCSize size = m_label->getContentSize();
    const float left = box.getMidX() - size.width * 0.5f;
    const float top = box.getMidY() + size.height * 0.5f;
    const int fullWidth = static_cast<int>(std::lround(size.width));
    const int lineSkip = TTF_FontLineSkip(font);
    const int ascent = TTF_FontAscent(font);
    int above = 0, below = 0;
    glyphExtent(font, above, below);
    const int halfSpace = textWidth(font, " ") / 2;
    const int padX = std::max(1, std::min(8, halfSpace - 1));
    const int padY = 6;

    const std::vector<std::string>& lines = m_label->getLines();
    std::vector<float> lineLeft; // unsqueezed
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int lineX = (fullWidth - textWidth(font, lines[i])) / 2;
        lineLeft.push_back(left + lineX);
        m_lineOrigins.push_back(CCPoint(printed(left + lineX), top - static_cast<float>(i) * lineSkip));
    }

    std::size_t line = 0, cursor = 0;
    for (const Word& word : words) {
        std::size_t at = std::string::npos;
        while (line < lines.size()) {
            at = lines[line].find(word.text, cursor);
            if (at != std::string::npos) break;
            ++line;
            cursor = 0;
        }
        if (at == std::string::npos) {
            m_error = "the word \"" + word.text + "\" is not printed whole on one line";
            return;
        }
        const std::string& text = lines[line];
        float x0 = lineLeft[line] + textWidth(font, text.substr(0, at));
        float x1 = lineLeft[line] + textWidth(font, text.substr(0, at + word.text.size()));
        float baseline = m_lineOrigins[line].y - ascent;
        WordBox wordBox;
        wordBox.text = word.text;
        wordBox.line = static_cast<int>(line);
        wordBox.baselineY = baseline;
        // Punctuation right beside a word stays outside its rectangle.
        auto padBeside = [&](std::size_t at, bool before) {
            if (at >= text.size() || text[at] == ' ') return static_cast<float>(padX);
            int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
            if (TTF_GlyphMetrics32(font, static_cast<unsigned char>(text[at]), &minx, &maxx, &miny, &maxy,
                                   &advance) != 0)
                return 0.0f;
            // The blank between word and mark as printed, less a point for
            // rounding to whole points and one for the squeezed glyph's
            // smoothed edge.
            int room = before ? advance - maxx : minx;
            return std::clamp(room * squeeze - 2.0f, 0.0f, padX * squeeze) / squeeze;
        };
        float padLeft = at == 0 ? padX : padBeside(at - 1, true);
        float padRight = padBeside(at + word.text.size(), false);
        float rx0 = std::floor(printed(x0 - padLeft)), rx1 = std::ceil(printed(x1 + padRight));
        float ry0 = std::floor(baseline - below - padY), ry1 = std::ceil(baseline + above + padY);
        wordBox.rect = CCRect(rx0, ry0, rx1 - rx0, ry1 - ry0);
        wordBox.hotspot = wordBox.rect;
        m_words.push_back(wordBox);
        m_penX.push_back(printed(x0));
        cursor = at + word.text.size();
    }
}

WordLayout::~WordLayout() {
    if (m_label) m_label->release();
}

void WordLayout::widenHotspot(std::size_t index, float width) {
    WordBox& word = m_words.at(index);
    // Grown by whole points on both sides alike, so that it stays centred.
    const float grow = std::ceil(std::max(0.0f, width - word.rect.size.width) * 0.5f);
    word.hotspot = engine::CCRect(word.rect.origin.x - grow, word.rect.origin.y,
                                  word.rect.size.width + 2 * grow, word.rect.size.height);
}

engine::CCPoint WordLayout::lineOrigin(int line) const {
    return m_lineOrigins.at(static_cast<std::size_t>(line));
}

} // namespace bookmaker
