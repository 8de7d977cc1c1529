#pragma once
// A bitmap font read from a text-format .fnt file (the "info / common / page
// / chars / char / kernings / kerning" lines that bitmap-font tools write).
//
// Parsing is strict: a number that is not a whole number, a value out of its
// range (char ids beyond Unicode, glyphs larger than their page, absurd line
// heights), a char on a page that no "page" line names, or a file without
// "common" or pages rejects the whole file with one log line naming the file
// and the line. A label then shows no glyphs rather than wrong ones.
#include "engine/base/CCGeometry.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace engine {

struct CCBMFontChar {
    CCRect rect; // in the page image, pixels from its top-left corner
    int xOffset = 0, yOffset = 0, xAdvance = 0;
    int page = 0;
};

class CCBMFontConfiguration {
public:
    // Parses .fnt text; page file names are taken relative to the folder of
    // `fileName` (a resource name, also used in log lines). Null when the
    // text is malformed (logged).
    static std::shared_ptr<const CCBMFontConfiguration> parse(const std::string& data,
                                                              const std::string& fileName);
    // Reads a .fnt file under the resource root; parsed files are kept by name.
    static std::shared_ptr<const CCBMFontConfiguration> configurationWithFile(const std::string& fileName);
    static void purgeCachedData();

    int getLineHeight() const { return m_lineHeight; }
    int getBase() const { return m_base; }
    // Resource names of the page images, by page id.
    const std::vector<std::string>& getPages() const { return m_pages; }
    const std::map<char32_t, CCBMFontChar>& getChars() const { return m_chars; }
    const CCBMFontChar* charFor(char32_t id) const;
    int kerning(char32_t first, char32_t second) const;

private:
    int m_lineHeight = 0;
    int m_base = 0;
    std::vector<std::string> m_pages;
    std::map<char32_t, CCBMFontChar> m_chars;
    std::map<std::pair<char32_t, char32_t>, int> m_kernings;
};

} // namespace engine
