#pragma once
// Where each printed word of a sentence lies, measured with the program's
// own text code: the sentence is laid out by the engine's label (its line
// breaks, its centring, the font its font name resolves to) and each word's
// rectangle is taken from the same font's metrics. Hotspots made from these
// rectangles therefore cover the words exactly as the label prints them.
// The sentence may be printed squeezed across (for a screen that stretches
// it back); every rectangle and position here is then squeezed too.
#include "engine/base/CCGeometry.h"
#include "tools/book/BookSource.h"

#include <string>
#include <vector>

namespace engine {
class CCLabelTTF;
}

namespace bookmaker {

struct WordBox {
    std::string text;
    int line = 0;
    engine::CCRect rect; // the printed word: design points, y up, whole points
    // Where it is touched and highlighted: the word's rectangle, or wider
    // and centred on it where the word needs more room.
    engine::CCRect hotspot;
    float baselineY = 0; // where the word's line sits
};

class WordLayout {
public:
    // The sentence centred in `box` (design points, y up), wrapped to its
    // width, printed `squeeze` times as wide as the font draws it. Needs an
    // open view at one pixel per point, as the page pictures are made.
    WordLayout(const std::string& sentence, const std::vector<Word>& words, const std::string& fontName,
               float fontSize, const engine::CCRect& box, float squeeze = 1);
    ~WordLayout();
    WordLayout(const WordLayout&) = delete;
    WordLayout& operator=(const WordLayout&) = delete;

    // False, with the reason, when a word could not be found whole on a line
    // or the font could not be opened.
    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }

    // The label, placed over the box; owned by the layout.
    engine::CCLabelTTF* label() const { return m_label; }
    const std::vector<WordBox>& words() const { return m_words; }
    // Top-left corner of line `line`'s text image, design points, y up.
    engine::CCPoint lineOrigin(int line) const;
    // Left edge of `word`'s pen position (before any padding).
    float penX(std::size_t word) const { return m_penX[word]; }
    float squeeze() const { return m_squeeze; }

    // Makes word `index`'s hotspot at least `width` wide (whole points),
    // centred on the printed word.
    void widenHotspot(std::size_t index, float width);

private:
    engine::CCLabelTTF* m_label = nullptr;
    std::vector<WordBox> m_words;
    std::vector<float> m_penX;
    std::vector<engine::CCPoint> m_lineOrigins;
    std::string m_error;
    float m_squeeze = 1;
};

} // namespace bookmaker
