#pragma once
// Breaking text into lines, shared by the TTF and bitmap-font labels.
//
// "\n" always ends a line. With a width above 0 each paragraph is filled
// greedily: words (runs between spaces) move to the next line whole, the
// spaces at a break are dropped (so a centred line centres on its ink), a
// word wider than the line is split between characters (at least one per
// line), and CJK characters are words of their own, so CJK text breaks
// between any two of them.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace engine {

// The most characters that a label lays out. A label shows a word, a line or
// a short passage; a text far beyond that is a mistake in a book, and laying
// it all out would cost seconds and an image larger than any screen. Labels
// cut their text here (and log it).
constexpr std::size_t kLabelCharacterLimit = 16384;

// Cuts `text` after `limit` characters (code points), at a character
// boundary. True when it cut.
bool ccCutToCharacters(std::string& text, std::size_t limit);

// `measure` gives the width of a UTF-8 string, in the same unit as `width`.
// Linear in the text's length, however long its words.
std::vector<std::string> ccWrapText(const std::string& text, float width,
                                    const std::function<float(const std::string&)>& measure);

} // namespace engine
