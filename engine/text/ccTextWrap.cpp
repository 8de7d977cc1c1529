#include "engine/text/ccTextWrap.h"

#include "engine/text/ccUTF8.h"

#include <algorithm>

namespace engine {

namespace {

using Measure = std::function<float(const std::string&)>;

// A word of a paragraph: a run of non-space characters, or one CJK
// character, as byte offsets. The white space between words is kept in the
// paragraph, so a line is always one piece of it.
struct Word {
    std::size_t start;
    std::size_t end;
};

std::vector<Word> splitWords(const std::string& paragraph) {
    std::vector<Word> words;
    bool inWord = false;
    for (std::size_t pos = 0; pos < paragraph.size();) {
        std::size_t start = pos;
        char32_t cp = ccUTF8Next(paragraph, pos);
        if (cp == ' ' || cp == '\t') {
            inWord = false;
        } else if (ccIsCJK(cp)) {
            words.push_back({start, pos});
            inWord = false;
        } else if (inWord) {
            words.back().end = pos;
        } else {
            words.push_back({start, pos});
            inWord = true;
        }
    }
    return words;
}

// The index one past the last of `ends[first..]` that fits (`first` when none
// does); `ends` grow, and a longer piece never fits where a shorter one did
// not. The piece doubles until it no longer fits, then a binary search finds
// the cut, so finding a line measures about twice its own length and never
// the whole rest of the text: wrapping stays linear in the text's length.
template <class Fits>
std::size_t fittingCount(const std::vector<std::size_t>& ends, std::size_t first, const Fits& fits) {
    std::size_t good = first; // ends[first..good) fit
    for (std::size_t step = 1; good < ends.size(); step *= 2) {
        std::size_t probe = std::min(good + step, ends.size()) - 1;
        if (fits(ends[probe])) {
            good = probe + 1;
            continue;
        }
        std::size_t high = probe; // ends[high] does not fit
        while (good < high) {
            std::size_t mid = good + (high - good) / 2;
            if (fits(ends[mid]))
                good = mid + 1;
            else
                high = mid;
        }
        break;
    }
    return good;
}

void wrapParagraph(const std::string& paragraph, float width, const Measure& measure,
                   std::vector<std::string>& lines) {
    const std::vector<Word> words = splitWords(paragraph);
    if (words.empty()) {
        lines.emplace_back();
        return;
    }
    std::vector<std::size_t> wordEnds;
    wordEnds.reserve(words.size());
    for (const Word& word : words)
        wordEnds.push_back(word.end);

    std::size_t lineStart = words[0].start;
    auto fits = [&](std::size_t end) {
        return measure(paragraph.substr(lineStart, end - lineStart)) <= width;
    };
    std::vector<std::size_t> charEnds; // of the word being broken
    std::size_t i = 0;
    while (i < words.size()) {
        // Whole words move to the next line; the spaces at a break are dropped.
        std::size_t count = fittingCount(wordEnds, i, fits);
        if (count == words.size()) break;
        if (count > i) {
            lines.push_back(paragraph.substr(lineStart, wordEnds[count - 1] - lineStart));
            i = count;
            lineStart = words[i].start;
            continue;
        }
        // Word i alone is wider than the line: as many characters per line as
        // fit, at least one, until its rest fits and starts the next line.
        charEnds.clear();
        for (std::size_t pos = lineStart; pos < words[i].end;) {
            ccUTF8Next(paragraph, pos);
            charEnds.push_back(pos);
        }
        std::size_t first = 0;
        while (true) {
            std::size_t cut = fittingCount(charEnds, first, fits);
            if (cut == charEnds.size()) break; // the rest of the word fits
            cut = std::max(cut, first + 1);
            lines.push_back(paragraph.substr(lineStart, charEnds[cut - 1] - lineStart));
            lineStart = charEnds[cut - 1];
            first = cut;
            if (first == charEnds.size()) { // a last character wider than the line
                ++i;
                if (i < words.size()) lineStart = words[i].start;
                break;
            }
        }
    }
    if (i < words.size()) lines.push_back(paragraph.substr(lineStart, words.back().end - lineStart));
}

} // namespace

bool ccCutToCharacters(std::string& text, std::size_t limit) {
    std::size_t pos = 0;
    for (std::size_t count = 0; count < limit && pos < text.size(); ++count)
        ccUTF8Next(text, pos);
    if (pos >= text.size()) return false;
    text.resize(pos);
    return true;
}

std::vector<std::string> ccWrapText(const std::string& text, float width, const Measure& measure) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find('\n', start);
        std::string paragraph =
            text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
        if (width > 0)
            wrapParagraph(paragraph, width, measure, lines);
        else
            lines.push_back(std::move(paragraph));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

} // namespace engine
