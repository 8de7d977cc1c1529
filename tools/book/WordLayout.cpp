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
                       const std::string& fontName, float fontSize, const engine::CCRect& box) {
    using namespace engine;
    m_label = CCLabelTTF::create(sentence.c_str(), fontName.c_str(), fontSize, CCSize(box.size.width, 0),
                                 kCCTextAlignmentCenter);
    m_label->retain();
    m_label->setAnchorPoint(CCPoint(0.5f, 0.5f));
    m_label->setPosition(CCPoint(box.getMidX(), box.getMidY()));

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
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int lineX = (fullWidth - textWidth(font, lines[i])) / 2;
        m_lineOrigins.push_back(CCPoint(left + lineX, top - static_cast<float>(i) * lineSkip));
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
        float x0 = m_lineOrigins[line].x + textWidth(font, text.substr(0, at));
        float x1 = m_lineOrigins[line].x + textWidth(font, text.substr(0, at + word.text.size()));
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
            int room = before ? advance - maxx : minx;
            return static_cast<float>(std::clamp(room - 1, 0, padX));
        };
        float padLeft = at == 0 ? padX : padBeside(at - 1, true);
        float padRight = padBeside(at + word.text.size(), false);
        float rx0 = std::floor(x0 - padLeft), rx1 = std::ceil(x1 + padRight);
        float ry0 = std::floor(baseline - below - padY), ry1 = std::ceil(baseline + above + padY);
        wordBox.rect = CCRect(rx0, ry0, rx1 - rx0, ry1 - ry0);
        m_words.push_back(wordBox);
        m_penX.push_back(x0);
        cursor = at + word.text.size();
    }
}

WordLayout::~WordLayout() {
    if (m_label) m_label->release();
}

engine::CCPoint WordLayout::lineOrigin(int line) const {
    return m_lineOrigins.at(static_cast<std::size_t>(line));
}

} // namespace bookmaker
