#include "engine/text/ccUTF8.h"

namespace engine {

namespace {
constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the sequence a lead byte announces; 0 for a byte that cannot lead.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}
} // namespace

char32_t ccUTF8Next(const std::string& text, std::size_t& pos) {
    unsigned char lead = static_cast<unsigned char>(text[pos]);
    int length = sequenceLength(lead);
    if (length == 1) {
        ++pos;
        return lead;
    }
    if (length == 0 || pos + length > text.size()) {
        ++pos;
        return kReplacement;
    }
    char32_t cp = lead & (0xFF >> (length + 1));
    for (int i = 1; i < length; ++i) {
        unsigned char byte = static_cast<unsigned char>(text[pos + i]);
        if (!isContinuation(byte)) {
            ++pos;
            return kReplacement;
        }
        cp = (cp << 6) | (byte & 0x3F);
    }
    // Overlong forms and surrogates are not characters.
    static const char32_t minimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += length;
    return cp;
}

std::vector<char32_t> ccUTF8Decode(const std::string& text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();)
        out.push_back(ccUTF8Next(text, pos));
    return out;
}

std::size_t ccUTF8Length(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count)
        ccUTF8Next(text, pos);
    return count;
}

std::size_t ccUTF8LastCharStart(const std::string& text) {
    // Walk forward so that a malformed tail is split exactly as decoding splits it.
    std::size_t last = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        last = pos;
        ccUTF8Next(text, pos);
    }
    return last;
}

bool ccUTF8IsValid(const std::string& text) {
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t start = pos;
        if (ccUTF8Next(text, pos) == kReplacement && pos - start != 3) return false;
    }
    return true;
}

bool ccIsCJK(char32_t cp) {
    return (cp >= 0x2E80 && cp <= 0x9FFF) || // radicals, punctuation, kana, Han
           (cp >= 0xAC00 && cp <= 0xD7AF) || // hangul
           (cp >= 0xF900 && cp <= 0xFAFF) || // compatibility ideographs
           (cp >= 0xFF00 && cp <= 0xFFEF) || // full-width forms
           (cp >= 0x20000 && cp <= 0x3FFFF); // supplementary ideographs
}

bool ccContainsCJK(const std::string& text) {
    for (std::size_t pos = 0; pos < text.size();)
        if (ccIsCJK(ccUTF8Next(text, pos))) return true;
    return false;
}

} // namespace engine
