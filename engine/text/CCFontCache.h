#pragma once
// Font names to font files, and opened fonts.
//
// A name is a family ("Arial", "宋体", "Thonburi") looked up with fontconfig,
// so the desktop's aliases apply ("Arial" finds Liberation Sans), or a font
// file under the resource root ("fonts/book.ttf"). A name that is not valid
// UTF-8 is taken as GBK (the encoding that Chinese books name their fonts in)
// and decoded first. A CJK name, or CJK text, asks fontconfig for a face that
// covers Simplified Chinese. A name that matches nothing gets one log line
// and, for Latin text, the first of: the book's own print font (when the book
// ships one, see setBookFont), Andika (a face made for beginning readers)
// when installed, DejaVu Sans, the desktop's default face; the label still
// shows its text. CJK text in a missing face gets a face that covers it.
//
// Opened fonts are kept by (file, face index, pixel size): several labels of
// one font and size share a TTF_Font.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>

typedef struct _TTF_Font TTF_Font;

namespace engine {

struct CCFontFace {
    std::string file;   // full path
    int index = 0;      // face within a collection (.ttc)
    std::string family; // as fontconfig names it; the file name for font files
    // A book's own font: the bytes FreeType reads from, for as long as any
    // font made from them is open. `file` then names it under the book.
    std::shared_ptr<const std::string> data;
    bool operator==(const CCFontFace& o) const { return file == o.file && index == o.index; }
    bool operator!=(const CCFontFace& o) const { return !(*this == o); }
};

class CCFontCache {
public:
    static CCFontCache* sharedFontCache();
    CCFontCache(const CCFontCache&) = delete;
    CCFontCache& operator=(const CCFontCache&) = delete;

    // The face for a font name; `forCJK` when the text to draw is CJK. An
    // empty file only when the machine has no usable font at all (logged).
    CCFontFace faceForName(const std::string& fontName, bool forCJK);
    // The face opened at a pixel size; null when it cannot be opened (logged
    // once per face).
    TTF_Font* font(const CCFontFace& face, int pixelSize);

    // The font file (under the resource root) that the book prints with, the
    // first choice for a font that is not installed; empty for none.
    void setBookFont(const std::string& fileName);
    const std::string& getBookFont() const { return m_bookFont; }

    // Closes every font and forgets every name (and the book's font).
    void purge();
    int getOpenFontCount() const { return static_cast<int>(m_fonts.size()); }
    // Names resolved so far (cached answers not counted).
    int getLookupCount() const { return m_lookups; }

    // A GBK name decoded to UTF-8; names that are UTF-8 already come back as
    // they are. Undecodable bytes are dropped.
    static std::string decodeFontName(const std::string& name);

private:
    CCFontCache() = default;
    ~CCFontCache();
    CCFontFace match(const std::string& family, bool forCJK, bool nameIsCJK, bool& matchedName);
    CCFontFace matchFile(const std::string& fontName, bool& isFileName);
    // The face for a name that matched nothing (see the top of this file).
    CCFontFace fallbackFace(const CCFontFace& fontconfigChoice);

    std::map<std::pair<std::string, bool>, CCFontFace> m_faces;
    std::map<std::tuple<std::string, int, int>, TTF_Font*> m_fonts;
    // What the fonts opened from memory read from; freed after they close.
    std::map<TTF_Font*, std::shared_ptr<const std::string>> m_fontData;
    std::set<std::string> m_reportedNames; // fallbacks already logged
    std::set<std::string> m_reportedFiles; // faces that failed to open
    std::string m_bookFont;
    int m_lookups = 0;
};

} // namespace engine
