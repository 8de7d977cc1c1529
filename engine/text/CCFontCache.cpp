#include "engine/text/CCFontCache.h"

#include "engine/base/CCLog.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/text/ccUTF8.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

namespace engine {

namespace {

// Fonts stay open while labels may still ask for them; past this many the
// cache starts afresh (a label asks for its font anew at every rasterisation).
constexpr std::size_t kMaxOpenFonts = 48;
// A family that no desktop has: what fontconfig adds to it is the default list.
const char* const kNoSuchFamily = "lirra-no-such-family";
// Faces for a font that is not installed, after the book's own: one made for
// beginning readers (its "a" and "g" are the ones children learn to write),
// then a plain sans that every desktop has.
const char* const kFallbackFamilies[] = {"Andika", "DejaVu Sans"};

std::string lowerAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return s;
}

bool hasFontFileExtension(const std::string& name) {
    std::string lower = lowerAscii(name);
    for (const char* ext : {".ttf", ".otf", ".ttc"}) {
        std::size_t n = std::char_traits<char>::length(ext);
        if (lower.size() > n && lower.compare(lower.size() - n, n, ext) == 0) return true;
    }
    return false;
}

FcPattern* substitutedPattern(const std::string& family, bool forCJK) {
    FcPattern* pattern = FcPatternCreate();
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    if (forCJK) FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

std::vector<std::string> families(FcPattern* pattern) {
    std::vector<std::string> out;
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &value) == FcResultMatch; ++i)
        out.push_back(lowerAscii(reinterpret_cast<const char*>(value)));
    return out;
}

bool coversChinese(FcPattern* font) {
    FcLangSet* langs = nullptr;
    if (FcPatternGetLangSet(font, FC_LANG, 0, &langs) != FcResultMatch) return false;
    return FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("zh-cn")) == FcLangEqual;
}

CCFontFace faceOf(FcPattern* font) {
    CCFontFace face;
    FcChar8* value = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &value) == FcResultMatch)
        face.file = reinterpret_cast<char*>(value);
    if (FcPatternGetInteger(font, FC_INDEX, 0, &face.index) != FcResultMatch) face.index = 0;
    if (FcPatternGetString(font, FC_FAMILY, 0, &value) == FcResultMatch)
        face.family = reinterpret_cast<char*>(value);
    return face;
}

} // namespace

CCFontCache* CCFontCache::sharedFontCache() {
    static CCFontCache cache;
    return &cache;
}

CCFontCache::~CCFontCache() {
    purge();
}

void CCFontCache::purge() {
    for (auto& entry : m_fonts)
        TTF_CloseFont(entry.second);
    m_fonts.clear();
    m_fontData.clear();
    m_faces.clear();
    m_reportedNames.clear();
    m_reportedFiles.clear();
    m_bookFont.clear();
}

std::string CCFontCache::decodeFontName(const std::string& name) {
    if (ccUTF8IsValid(name)) return name;
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out;
    std::vector<char> in(name.begin(), name.end());
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // Not GBK either: drop the offending byte and go on.
            ++inPtr;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

CCFontFace CCFontCache::faceForName(const std::string& fontName, bool forCJK) {
    auto key = std::make_pair(fontName, forCJK);
    auto found = m_faces.find(key);
    if (found != m_faces.end()) return found->second;
    ++m_lookups;

    std::string name = decodeFontName(fontName);
    bool isFileName = false;
    CCFontFace face = matchFile(name, isFileName);
    if (face.file.empty()) {
        std::string family = name;
        if (isFileName) {
            // A font file that is not there: try its base name as a family.
            std::size_t slash = family.find_last_of('/');
            if (slash != std::string::npos) family.erase(0, slash + 1);
            family.erase(family.rfind('.'));
        }
        bool matchedName = false;
        bool nameIsCJK = ccContainsCJK(name);
        face = match(family, forCJK, nameIsCJK, matchedName);
        // Latin text in a face that is not installed: one made for reading,
        // not whatever the desktop happens to list first.
        if (!matchedName && !forCJK && !family.empty()) face = fallbackFace(face);
        if (face.file.empty()) {
            CCLog("CCFontCache: fontconfig finds no font at all for \"%s\"; text cannot be drawn",
                  name.c_str());
        } else if (!matchedName && !name.empty() && m_reportedNames.insert(name).second) {
            CCLog("CCFontCache: no font named \"%s\"; using %s (%s)", name.c_str(), face.family.c_str(),
                  face.file.c_str());
        }
    }
    m_faces[key] = face;
    return face;
}

CCFontFace CCFontCache::matchFile(const std::string& fontName, bool& isFileName) {
    isFileName = hasFontFileExtension(fontName);
    if (!isFileName) return {};
    // A refused font file (logged) falls back to fontconfig like a missing one.
    // The book's font is read once, checked on its open file, and kept in
    // memory: FreeType opens a face again for every size, and a name opened
    // again might by then lead somewhere else (a FIFO would block for good).
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    std::optional<std::string> bytes = files->getFileData(fontName, nullptr, CCFileUtils::FileKind::Font);
    if (!bytes) return {};
    CCFontFace face;
    face.file = files->fullPathForFilename(fontName);
    face.family = fontName;
    face.data = std::make_shared<const std::string>(std::move(*bytes));
    return face;
}

CCFontFace CCFontCache::match(const std::string& family, bool forCJK, bool nameIsCJK, bool& matchedName) {
    // fontconfig keeps a little state it only frees in FcFini; freeing it at
    // exit keeps leak checks meaningful.
    static const bool started = (FcInit(), std::atexit([] { FcFini(); }), true);
    (void)started;
    FcPattern* pattern = substitutedPattern(family, forCJK);
    std::vector<std::string> candidates = families(pattern);
    if (!family.empty()) {
        // What fontconfig appended for any family is the default list; what
        // stays in front of it are the name and its real aliases.
        FcPattern* unknown = substitutedPattern(kNoSuchFamily, forCJK);
        std::vector<std::string> defaults = families(unknown);
        FcPatternDestroy(unknown);
        while (!candidates.empty() && defaults.size() > 1 && candidates.back() == defaults.back()) {
            candidates.pop_back();
            defaults.pop_back();
        }
    }

    FcResult result = FcResultNoMatch;
    FcPattern* font = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    matchedName = family.empty();
    if (!font) return {};

    FcChar8* value = nullptr;
    for (int i = 0; !matchedName && FcPatternGetString(font, FC_FAMILY, i, &value) == FcResultMatch; ++i) {
        std::string name = lowerAscii(reinterpret_cast<const char*>(value));
        matchedName = std::find(candidates.begin(), candidates.end(), name) != candidates.end();
    }
    if (forCJK && !coversChinese(font)) {
        // The named face has no Chinese: take the desktop's Chinese face for this text.
        FcPatternDestroy(font);
        pattern = substitutedPattern("", true);
        font = FcFontMatch(nullptr, pattern, &result);
        FcPatternDestroy(pattern);
        if (!font) return {};
    } else if (forCJK && nameIsCJK && !matchedName) {
        // A Chinese name that is not installed (宋体 on a Linux desktop): a
        // Chinese face stands in for it, which is what the name asked for.
        matchedName = true;
    }
    CCFontFace face = faceOf(font);
    FcPatternDestroy(font);
    return face;
}

void CCFontCache::setBookFont(const std::string& fileName) {
    if (fileName == m_bookFont) return;
    m_bookFont = fileName;
    // Names that fell back before may now fall back to the book's font.
    m_faces.clear();
    m_reportedNames.clear();
}

CCFontFace CCFontCache::fallbackFace(const CCFontFace& fontconfigChoice) {
    if (!m_bookFont.empty()) {
        bool isFileName = false;
        CCFontFace face = matchFile(m_bookFont, isFileName);
        if (!face.file.empty()) return face;
    }
    for (const char* family : kFallbackFamilies) {
        bool matched = false;
        CCFontFace face = match(family, false, false, matched);
        if (matched && !face.file.empty()) return face;
    }
    return fontconfigChoice;
}

TTF_Font* CCFontCache::font(const CCFontFace& face, int pixelSize) {
    if (face.file.empty() || pixelSize <= 0) return nullptr;
    auto key = std::make_tuple(face.file, face.index, pixelSize);
    auto found = m_fonts.find(key);
    if (found != m_fonts.end()) return found->second;
    if (!TTF_WasInit() && TTF_Init() != 0) {
        CCLog("CCFontCache: cannot start SDL_ttf: %s", TTF_GetError());
        return nullptr;
    }
    if (m_fonts.size() >= kMaxOpenFonts) {
        for (auto& entry : m_fonts)
            TTF_CloseFont(entry.second);
        m_fonts.clear();
        m_fontData.clear();
    }
    TTF_Font* font = nullptr;
    if (face.data) {
        SDL_RWops* stream = SDL_RWFromConstMem(face.data->data(), static_cast<int>(face.data->size()));
        if (stream) font = TTF_OpenFontIndexRW(stream, 1, pixelSize, face.index);
        if (font) m_fontData[font] = face.data;
    } else {
        font = TTF_OpenFontIndex(face.file.c_str(), pixelSize, face.index);
    }
    if (!font) {
        if (m_reportedFiles.insert(face.file).second)
            CCLog("CCFontCache: cannot open font %s: %s", face.file.c_str(), TTF_GetError());
        return nullptr;
    }
    m_fonts[key] = font;
    return font;
}

} // namespace engine
