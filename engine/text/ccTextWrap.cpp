#include "engine/text/ccTextWrap.h"

#include "engine/text/ccUTF8.h"

namespace engine {

namespace {

struct Token {
    std::string gap;  // white space before the word
    std::string word; // a run of non-space characters, or one CJK character
};

std::vector<Token> tokenize(const std::string& paragraph) {
    std::vector<Token> tokens;
    Token current;
    bool inWord = false;
    auto finish = [&] {
        tokens.push_back(std::move(current));
        current = Token();
        inWord = false;
    };
    for (std::size_t pos = 0; pos < paragraph.size();) {
        std::size_t start = pos;
        char32_t cp = ccUTF8Next(paragraph, pos);
        std::string bytes = paragraph.substr(start, pos - start);
        if (cp == ' ' || cp == '\t') {
            if (inWord) finish();
            current.gap += bytes;
        } else if (ccIsCJK(cp)) {
            if (inWord) finish();
            current.word = bytes;
            finish();
        } else {
            current.word += bytes;
            inWord = true;
        }
    }
    if (inWord) finish();
    return tokens;
}

void wrapParagraph(const std::string& paragraph, float width,
                   const std::function<float(const std::string&)>& measure, std::vector<std::string>& lines) {
    std::string line;
    for (const Token& token : tokenize(paragraph)) {
        std::string candidate = line.empty() ? token.word : line + token.gap + token.word;
        if (measure(candidate) <= width) {
            line = std::move(candidate);
            continue;
        }
        if (!line.empty()) lines.push_back(std::move(line));
        line.clear();
        std::string rest = token.word;
        while (measure(rest) > width) {
            // As many characters as fit, at least one.
            std::size_t cut = 0;
            for (std::size_t pos = 0; pos < rest.size();) {
                ccUTF8Next(rest, pos);
                if (cut > 0 && measure(rest.substr(0, pos)) > width) break;
                cut = pos;
            }
            if (cut >= rest.size()) break;
            lines.push_back(rest.substr(0, cut));
            rest.erase(0, cut);
        }
        line = std::move(rest);
    }
    lines.push_back(std::move(line));
}

} // namespace

std::vector<std::string> ccWrapText(const std::string& text, float width,
                                    const std::function<float(const std::string&)>& measure) {
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
