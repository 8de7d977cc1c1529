#pragma once
// Small UTF-8 helpers shared by the labels and the text field. Malformed
// bytes are never fatal: each one counts as a code point of its own
// (U+FFFD when decoded), so text from any source can be measured and edited.
#include <cstddef>
#include <string>
#include <vector>

namespace engine {

// The code point starting at `pos`; `pos` moves past it.
char32_t ccUTF8Next(const std::string& text, std::size_t& pos);
std::vector<char32_t> ccUTF8Decode(const std::string& text);
// Number of code points.
std::size_t ccUTF8Length(const std::string& text);
// Byte offset where the last code point starts (0 for empty text).
std::size_t ccUTF8LastCharStart(const std::string& text);
bool ccUTF8IsValid(const std::string& text);
// Han ideographs, kana, hangul and their punctuation and full-width forms:
// text that needs a CJK face and may break between any two characters.
bool ccIsCJK(char32_t codePoint);
bool ccContainsCJK(const std::string& text);

} // namespace engine
