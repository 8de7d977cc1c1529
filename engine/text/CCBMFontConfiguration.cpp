#include "engine/text/CCBMFontConfiguration.h"

#include "engine/base/CCLog.h"
#include "engine/platform/CCFileUtils.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace engine {

namespace {

// Limits that no real font comes near; beyond them a file is broken or hostile.
constexpr long kMaxCoordinate = 16384;
constexpr long kMaxGlyphSize = 4096;
constexpr long kMaxOffset = 4096;
constexpr long kMaxLineHeight = 4096;
constexpr long kMaxPages = 64;
constexpr long kMaxCodePoint = 0x10FFFF;

// One line: its tag and its key=value pairs (values may be "quoted").
struct Line {
    std::string tag;
    std::map<std::string, std::string> values;
};

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

Line splitLine(const std::string& text) {
    Line line;
    std::size_t pos = 0, n = text.size();
    while (pos < n && isSpace(text[pos]))
        ++pos;
    while (pos < n && !isSpace(text[pos]))
        line.tag += text[pos++];
    while (pos < n) {
        while (pos < n && isSpace(text[pos]))
            ++pos;
        std::string key;
        while (pos < n && !isSpace(text[pos]) && text[pos] != '=')
            key += text[pos++];
        std::string value;
        if (pos < n && text[pos] == '=') {
            ++pos;
            if (pos < n && text[pos] == '"') {
                std::size_t close = text.find('"', pos + 1);
                if (close == std::string::npos) close = n;
                value = text.substr(pos + 1, close - pos - 1);
                pos = close + 1;
            } else {
                while (pos < n && !isSpace(text[pos]))
                    value += text[pos++];
            }
        }
        if (!key.empty()) line.values[key] = value;
    }
    return line;
}

class Parser {
public:
    explicit Parser(const std::string& fileName) : m_fileName(fileName) {}

    // Fails (logging once) when the key is missing or its value is not a whole
    // number within [low, high]; `fallback` stands in for a missing optional key.
    bool number(const Line& line, const char* key, long low, long high, long& out,
                std::optional<long> fallback = std::nullopt) {
        auto found = line.values.find(key);
        if (found == line.values.end()) {
            if (fallback) {
                out = *fallback;
                return true;
            }
            return fail(std::string("\"") + line.tag + "\" has no " + key);
        }
        const std::string& text = found->second;
        long value = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || text.empty())
            return fail(std::string(key) + "=\"" + text + "\" is not a whole number");
        if (value < low || value > high)
            return fail(std::string(key) + "=" + text + " is out of range " + std::to_string(low) + ".." +
                        std::to_string(high));
        out = value;
        return true;
    }

    bool fail(const std::string& reason) {
        if (!m_failed)
            CCLog("CCBMFontConfiguration: %s line %d: %s; the font has no glyphs", m_fileName.c_str(),
                  m_lineNumber, reason.c_str());
        m_failed = true;
        return false;
    }

    void setLineNumber(int n) { m_lineNumber = n; }
    bool failed() const { return m_failed; }

private:
    std::string m_fileName;
    int m_lineNumber = 0;
    bool m_failed = false;
};

std::string folderOf(const std::string& fileName) {
    std::size_t slash = fileName.find_last_of('/');
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

std::map<std::string, std::shared_ptr<const CCBMFontConfiguration>>& cache() {
    static std::map<std::string, std::shared_ptr<const CCBMFontConfiguration>> files;
    return files;
}

} // namespace

std::shared_ptr<const CCBMFontConfiguration> CCBMFontConfiguration::parse(const std::string& data,
                                                                          const std::string& fileName) {
    auto config = std::make_shared<CCBMFontConfiguration>();
    Parser parser(fileName);
    if (data.compare(0, 3, "BMF") == 0) {
        parser.fail("binary bitmap fonts are not supported (save it as text)");
        return nullptr;
    }
    long declaredPages = -1;
    bool haveCommon = false;
    std::map<long, std::string> pageFiles;
    std::vector<std::pair<int, long>> charPages; // line number, page of each char

    std::size_t start = 0;
    for (int lineNumber = 1; start < data.size() && !parser.failed(); ++lineNumber) {
        std::size_t end = data.find('\n', start);
        if (end == std::string::npos) end = data.size();
        Line line = splitLine(data.substr(start, end - start));
        start = end + 1;
        parser.setLineNumber(lineNumber);

        long v[8] = {};
        if (line.tag == "common") {
            if (!parser.number(line, "lineHeight", 1, kMaxLineHeight, v[0]) ||
                !parser.number(line, "base", -kMaxLineHeight, kMaxLineHeight, v[1], 0) ||
                !parser.number(line, "pages", 1, kMaxPages, v[2], 1))
                break;
            config->m_lineHeight = static_cast<int>(v[0]);
            config->m_base = static_cast<int>(v[1]);
            declaredPages = v[2];
            haveCommon = true;
        } else if (line.tag == "page") {
            if (!parser.number(line, "id", 0, kMaxPages - 1, v[0])) break;
            auto file = line.values.find("file");
            if (file == line.values.end() || file->second.empty()) {
                parser.fail("page has no file");
                break;
            }
            pageFiles[v[0]] = folderOf(fileName) + file->second;
        } else if (line.tag == "char") {
            if (!parser.number(line, "id", 0, kMaxCodePoint, v[0]) ||
                !parser.number(line, "x", 0, kMaxCoordinate, v[1]) ||
                !parser.number(line, "y", 0, kMaxCoordinate, v[2]) ||
                !parser.number(line, "width", 0, kMaxGlyphSize, v[3]) ||
                !parser.number(line, "height", 0, kMaxGlyphSize, v[4]) ||
                !parser.number(line, "xoffset", -kMaxOffset, kMaxOffset, v[5], 0) ||
                !parser.number(line, "yoffset", -kMaxOffset, kMaxOffset, v[6], 0) ||
                !parser.number(line, "xadvance", -kMaxOffset, kMaxOffset, v[7]))
                break;
            long page = 0;
            if (!parser.number(line, "page", 0, kMaxPages - 1, page, 0)) break;
            CCBMFontChar glyph;
            glyph.rect = CCRect(static_cast<float>(v[1]), static_cast<float>(v[2]), static_cast<float>(v[3]),
                                static_cast<float>(v[4]));
            glyph.xOffset = static_cast<int>(v[5]);
            glyph.yOffset = static_cast<int>(v[6]);
            glyph.xAdvance = static_cast<int>(v[7]);
            glyph.page = static_cast<int>(page);
            config->m_chars[static_cast<char32_t>(v[0])] = glyph;
            charPages.emplace_back(lineNumber, page);
        } else if (line.tag == "kerning") {
            if (!parser.number(line, "first", 0, kMaxCodePoint, v[0]) ||
                !parser.number(line, "second", 0, kMaxCodePoint, v[1]) ||
                !parser.number(line, "amount", -kMaxOffset, kMaxOffset, v[2]))
                break;
            config->m_kernings[{static_cast<char32_t>(v[0]), static_cast<char32_t>(v[1])}] =
                static_cast<int>(v[2]);
        }
        // "info", "chars", "kernings" and unknown lines carry nothing we draw with.
    }
    if (parser.failed()) return nullptr;

    parser.setLineNumber(0);
    if (!haveCommon) {
        parser.fail("no \"common\" line");
        return nullptr;
    }
    if (pageFiles.empty()) {
        parser.fail("no \"page\" line");
        return nullptr;
    }
    for (const auto& [id, file] : pageFiles) {
        if (id >= declaredPages) {
            parser.fail("page " + std::to_string(id) + " beyond the " + std::to_string(declaredPages) +
                        " pages declared");
            return nullptr;
        }
    }
    for (const auto& [lineNumber, page] : charPages) {
        if (!pageFiles.count(page)) {
            parser.setLineNumber(lineNumber);
            parser.fail("char on page " + std::to_string(page) + ", which no \"page\" line names");
            return nullptr;
        }
    }
    config->m_pages.resize(static_cast<std::size_t>(pageFiles.rbegin()->first) + 1);
    for (const auto& [id, file] : pageFiles)
        config->m_pages[static_cast<std::size_t>(id)] = file;
    return config;
}

std::shared_ptr<const CCBMFontConfiguration>
CCBMFontConfiguration::configurationWithFile(const std::string& fileName) {
    auto found = cache().find(fileName);
    if (found != cache().end()) return found->second;
    CCFileUtils::ReadError error{};
    std::optional<std::string> data =
        CCFileUtils::sharedFileUtils()->getFileData(fileName, &error, CCFileUtils::FileKind::Font);
    if (!data) {
        if (error != CCFileUtils::ReadError::Refused)
            CCLog("CCBMFontConfiguration: cannot read font file %s; the font has no glyphs",
                  fileName.c_str());
        return nullptr;
    }
    auto config = parse(*data, fileName);
    if (config) cache()[fileName] = config;
    return config;
}

void CCBMFontConfiguration::purgeCachedData() {
    cache().clear();
}

const CCBMFontChar* CCBMFontConfiguration::charFor(char32_t id) const {
    auto found = m_chars.find(id);
    return found == m_chars.end() ? nullptr : &found->second;
}

int CCBMFontConfiguration::kerning(char32_t first, char32_t second) const {
    if (m_kernings.empty()) return 0;
    auto found = m_kernings.find({first, second});
    return found == m_kernings.end() ? 0 : found->second;
}

} // namespace engine
