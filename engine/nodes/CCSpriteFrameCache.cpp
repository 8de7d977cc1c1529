#include "engine/nodes/CCSpriteFrameCache.h"

#include "engine/base/CCArray.h"
#include "engine/base/CCDictionary.h"
#include "engine/base/CCInteger.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCString.h"
#include "engine/nodes/CCSpriteFrame.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/CCTextureCache.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

namespace engine {

namespace {

CCSpriteFrameCache* g_cache = nullptr;

// Sheets hold sizes of pictures; anything beyond this is garbage, and would
// overflow the pixel arithmetic later.
constexpr float kMaxCoordinate = 1.0e6f;
// Tolerance for rectangles that end exactly at the texture's edge.
constexpr float kEdgeSlack = 1.0e-3f;

// What one frame of a sheet says, checked but not yet added.
struct ParsedFrame {
    std::string name;
    CCRect rect;
    bool rotated = false;
    CCPoint offset;
    CCSize originalSize;
    std::vector<std::string> aliases;
};

// A failure that names what was wrong; the sheet then adds nothing.
struct SheetError {
    std::string reason;
};

bool sane(float value) {
    return std::isfinite(value) && std::fabs(value) <= kMaxCoordinate;
}

// Numbers separated by the exact brace structure of `shape`, where '#'
// stands for a number: "{#,#}" for points and sizes, "{{#,#},{#,#}}" for
// rectangles. White space may surround any part.
bool parseBraced(const std::string& text, const char* shape, float* out) {
    const char* p = text.data();
    const char* end = p + text.size();
    auto skipSpace = [&] {
        while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r'))
            ++p;
    };
    for (const char* s = shape; *s; ++s) {
        skipSpace();
        if (*s == '#') {
            if (p < end && *p == '+') ++p;
            float value = 0;
            auto [next, error] = std::from_chars(p, end, value);
            if (error != std::errc() || !sane(value)) return false;
            *out++ = value;
            p = next;
        } else {
            if (p >= end || *p != *s) return false;
            ++p;
        }
    }
    skipSpace();
    return p == end;
}

const CCString* asString(CCObject* value) {
    return dynamic_cast<const CCString*>(value);
}

// A number written as <integer>, <real> or a numeric <string>.
std::optional<float> asNumber(CCObject* value) {
    float number = 0;
    if (auto* i = dynamic_cast<CCInteger*>(value)) {
        number = static_cast<float>(i->getValue());
    } else if (auto* d = dynamic_cast<CCDouble*>(value)) {
        number = static_cast<float>(d->getValue());
    } else if (auto* s = asString(value)) {
        if (!parseBraced(s->getString(), "#", &number)) return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (!sane(number)) return std::nullopt;
    return number;
}

class FrameReader {
public:
    FrameReader(const std::string& name, CCDictionary* dict) : m_name(name), m_dict(dict) {}

    // A required or optional number; `fallback` when optional and absent.
    float number(const char* key, std::optional<float> fallback = std::nullopt) {
        CCObject* value = m_dict->objectForKey(key);
        if (!value) {
            if (fallback) return *fallback;
            throw SheetError{"frame '" + m_name + "' has no " + key};
        }
        std::optional<float> number = asNumber(value);
        if (!number) throw SheetError{"frame '" + m_name + "': " + key + " is not a number"};
        return *number;
    }

    // Braced numbers; false when absent and optional.
    bool braced(const char* key, const char* shape, float* out, bool required) {
        CCObject* value = m_dict->objectForKey(key);
        if (!value) {
            if (required) throw SheetError{"frame '" + m_name + "' has no " + key};
            return false;
        }
        const CCString* text = asString(value);
        if (!text || !parseBraced(text->getString(), shape, out))
            throw SheetError{"frame '" + m_name + "': " + key + " is not of the form " + shape};
        return true;
    }

    bool flag(const char* key) {
        CCObject* value = m_dict->objectForKey(key);
        if (!value) return false;
        if (auto* b = dynamic_cast<CCBool*>(value)) return b->getValue();
        throw SheetError{"frame '" + m_name + "': " + key + " is not true or false"};
    }

    std::vector<std::string> strings(const char* key) {
        std::vector<std::string> result;
        CCObject* value = m_dict->objectForKey(key);
        if (!value) return result;
        auto* array = dynamic_cast<CCArray*>(value);
        if (!array) throw SheetError{"frame '" + m_name + "': " + key + " is not an array"};
        for (CCObject* item : *array) {
            const CCString* text = asString(item);
            if (!text) throw SheetError{"frame '" + m_name + "': " + key + " holds a non-string"};
            result.push_back(text->getString());
        }
        return result;
    }

    bool has(const char* key) const { return m_dict->objectForKey(key) != nullptr; }

private:
    const std::string& m_name;
    CCDictionary* m_dict;
};

// Formats 1 and 2 share their keys; 3 renamed them; 0 spells numbers out.
int inferFormat(const FrameReader& frame) {
    if (frame.has("textureRect")) return 3;
    if (frame.has("frame")) return 2;
    return 0;
}

ParsedFrame parseFrame(const std::string& name, CCDictionary* dict, int format) {
    FrameReader frame(name, dict);
    if (format < 0) format = inferFormat(frame);
    ParsedFrame parsed;
    parsed.name = name;
    float v[4] = {0, 0, 0, 0};
    bool hasOriginal = false;
    switch (format) {
    case 0: {
        parsed.rect =
            CCRect(frame.number("x"), frame.number("y"), frame.number("width"), frame.number("height"));
        parsed.offset = CCPoint(frame.number("offsetX", 0.0f), frame.number("offsetY", 0.0f));
        // Some packers wrote these negated.
        parsed.originalSize = CCSize(std::fabs(frame.number("originalWidth", 0.0f)),
                                     std::fabs(frame.number("originalHeight", 0.0f)));
        hasOriginal = parsed.originalSize.width > 0 || parsed.originalSize.height > 0;
        break;
    }
    case 1:
    case 2: {
        frame.braced("frame", "{{#,#},{#,#}}", v, true);
        parsed.rect = CCRect(v[0], v[1], v[2], v[3]);
        if (frame.braced("offset", "{#,#}", v, false)) parsed.offset = CCPoint(v[0], v[1]);
        if (frame.braced("sourceSize", "{#,#}", v, false)) {
            parsed.originalSize = CCSize(v[0], v[1]);
            hasOriginal = true;
        }
        frame.braced("sourceColorRect", "{{#,#},{#,#}}", v, false);
        if (format == 2) parsed.rotated = frame.flag("rotated");
        break;
    }
    case 3: {
        frame.braced("textureRect", "{{#,#},{#,#}}", v, true);
        parsed.rect = CCRect(v[0], v[1], v[2], v[3]);
        if (frame.braced("spriteOffset", "{#,#}", v, false)) parsed.offset = CCPoint(v[0], v[1]);
        if (frame.braced("spriteSourceSize", "{#,#}", v, false)) {
            parsed.originalSize = CCSize(v[0], v[1]);
            hasOriginal = true;
        }
        frame.braced("spriteSize", "{#,#}", v, false);
        parsed.rotated = frame.flag("textureRotated");
        parsed.aliases = frame.strings("aliases");
        break;
    }
    default:
        throw SheetError{"unsupported format " + std::to_string(format)};
    }
    if (parsed.rect.size.width < 0 || parsed.rect.size.height < 0)
        throw SheetError{"frame '" + name + "' has a negative size"};
    if (!hasOriginal) parsed.originalSize = parsed.rect.size;
    // The packed picture is cut out of the original: it cannot be larger.
    if (parsed.originalSize.width + kEdgeSlack < parsed.rect.size.width ||
        parsed.originalSize.height + kEdgeSlack < parsed.rect.size.height)
        throw SheetError{"frame '" + name + "' is larger than its source size"};
    return parsed;
}

void checkInside(const ParsedFrame& frame, const CCSize& texture) {
    float w = frame.rotated ? frame.rect.size.height : frame.rect.size.width;
    float h = frame.rotated ? frame.rect.size.width : frame.rect.size.height;
    const CCPoint& o = frame.rect.origin;
    if (o.x < -kEdgeSlack || o.y < -kEdgeSlack || o.x + w > texture.width + kEdgeSlack ||
        o.y + h > texture.height + kEdgeSlack)
        throw SheetError{"frame '" + frame.name + "' lies outside the texture"};
}

// -1 when the sheet does not say.
int declaredFormat(CCDictionary* sheet) {
    CCObject* metadata = sheet->objectForKey("metadata");
    if (!metadata) return -1;
    auto* dict = dynamic_cast<CCDictionary*>(metadata);
    if (!dict) throw SheetError{"metadata is not a dictionary"};
    CCObject* value = dict->objectForKey("format");
    if (!value) return -1;
    std::optional<float> format = asNumber(value);
    if (!format || *format != std::floor(*format) || *format < 0 || *format > 3)
        throw SheetError{"unsupported format"};
    return static_cast<int>(*format);
}

// The texture named by the sheet, relative to the sheet's folder, or the
// sheet's own name with ".png".
std::string textureNameFor(CCDictionary* sheet, const std::string& plistName) {
    std::string folder;
    size_t slash = plistName.rfind('/');
    if (slash != std::string::npos) folder = plistName.substr(0, slash + 1);
    if (auto* metadata = dynamic_cast<CCDictionary*>(sheet->objectForKey("metadata"))) {
        for (const char* key : {"textureFileName", "realTextureFileName"}) {
            CCObject* value = metadata->objectForKey(key);
            if (!value) continue;
            const CCString* name = asString(value);
            if (!name) throw SheetError{std::string(key) + " is not a string"};
            if (name->length() == 0) continue;
            // An absolute name stays one, so the file layer refuses it.
            if (name->getString()[0] == '/') return name->getString();
            return folder + name->getString();
        }
    }
    size_t dot = plistName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return plistName + ".png";
    return plistName.substr(0, dot) + ".png";
}

} // namespace

CCSpriteFrameCache* CCSpriteFrameCache::sharedSpriteFrameCache() {
    if (!g_cache) g_cache = new CCSpriteFrameCache();
    return g_cache;
}

void CCSpriteFrameCache::purgeSharedSpriteFrameCache() {
    delete g_cache;
    g_cache = nullptr;
}

bool CCSpriteFrameCache::addSpriteFramesWithFile(const char* plistName) {
    return loadFile(plistName, nullptr, nullptr);
}

bool CCSpriteFrameCache::addSpriteFramesWithFile(const char* plistName, const char* textureFileName) {
    if (!textureFileName) {
        CCLog("CCSpriteFrameCache: sprite sheet '%s': no texture file named; no frames added",
              plistName ? plistName : "");
        return false;
    }
    return loadFile(plistName, nullptr, textureFileName);
}

bool CCSpriteFrameCache::addSpriteFramesWithFile(const char* plistName, CCTexture2D* texture) {
    if (!texture) {
        CCLog("CCSpriteFrameCache: sprite sheet '%s': no texture given; no frames added",
              plistName ? plistName : "");
        return false;
    }
    return loadFile(plistName, texture, nullptr);
}

bool CCSpriteFrameCache::loadFile(const char* plistName, CCTexture2D* texture, const char* textureFileName) {
    if (!plistName || !*plistName) {
        CCLog("CCSpriteFrameCache::addSpriteFramesWithFile: no sprite sheet named");
        return false;
    }
    std::string key = CCFileUtils::sharedFileUtils()->fullPathForFilename(plistName);
    if (!key.empty() && m_loadedFiles.count(key)) return true;
    // Logs its own line (naming the file) when the file is missing or broken.
    CCDictionary* sheet = CCDictionary::createWithContentsOfFile(plistName);
    if (!sheet) return false;
    if (!texture) {
        std::string textureName;
        try {
            textureName = textureFileName ? std::string(textureFileName) : textureNameFor(sheet, plistName);
        } catch (const SheetError& error) {
            CCLog("CCSpriteFrameCache: sprite sheet '%s': %s; no frames added", plistName,
                  error.reason.c_str());
            return false;
        }
        texture = CCTextureCache::sharedTextureCache()->addImage(textureName);
        if (!texture) {
            CCLog("CCSpriteFrameCache: sprite sheet '%s': its texture '%s' cannot be loaded; no frames added",
                  plistName, textureName.c_str());
            return false;
        }
    }
    if (!addSpriteFramesWithDictionary(sheet, texture, plistName)) return false;
    if (!key.empty()) m_loadedFiles.insert(key);
    return true;
}

bool CCSpriteFrameCache::addSpriteFramesWithDictionary(CCDictionary* sheet, CCTexture2D* texture,
                                                       const char* origin) {
    if (!origin) origin = "";
    std::vector<ParsedFrame> parsed;
    try {
        if (!sheet) throw SheetError{"no sheet"};
        if (!texture) throw SheetError{"no texture"};
        int format = declaredFormat(sheet);
        CCObject* framesValue = sheet->objectForKey("frames");
        if (!framesValue) throw SheetError{"no \"frames\" dictionary"};
        auto* frames = dynamic_cast<CCDictionary*>(framesValue);
        if (!frames) throw SheetError{"\"frames\" is not a dictionary"};
        parsed.reserve(frames->count());
        for (const auto& [name, value] : frames->entries()) {
            auto* dict = dynamic_cast<CCDictionary*>(value);
            if (!dict) throw SheetError{"frame '" + name + "' is not a dictionary"};
            parsed.push_back(parseFrame(name, dict, format));
            checkInside(parsed.back(), texture->getContentSize());
        }
    } catch (const SheetError& error) {
        CCLog("CCSpriteFrameCache: sprite sheet '%s': %s; no frames added", origin, error.reason.c_str());
        return false;
    }
    for (const ParsedFrame& frame : parsed) {
        addSpriteFrame(CCSpriteFrame::createWithTexture(texture, frame.rect, frame.rotated, frame.offset,
                                                        frame.originalSize),
                       frame.name.c_str());
        for (const std::string& alias : frame.aliases)
            m_aliases[alias] = frame.name;
    }
    return true;
}

void CCSpriteFrameCache::addSpriteFrame(CCSpriteFrame* frame, const char* name) {
    if (!frame || !name) return;
    m_frames[name] = frame;
    // A real frame of this name hides an alias of it.
    m_aliases.erase(name);
}

CCSpriteFrame* CCSpriteFrameCache::spriteFrameByName(const char* name) const {
    if (!name) return nullptr;
    auto found = m_frames.find(name);
    if (found != m_frames.end()) return found->second.get();
    auto alias = m_aliases.find(name);
    if (alias == m_aliases.end()) return nullptr;
    found = m_frames.find(alias->second);
    return found != m_frames.end() ? found->second.get() : nullptr;
}

void CCSpriteFrameCache::removeSpriteFrames() {
    m_frames.clear();
    m_aliases.clear();
    forgetLoadedFiles();
}

void CCSpriteFrameCache::removeUnusedSpriteFrames() {
    bool removed = false;
    for (auto it = m_frames.begin(); it != m_frames.end();) {
        if (it->second->isSingleReference()) {
            dropAliasesOf(it->first);
            it = m_frames.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    if (removed) forgetLoadedFiles();
}

void CCSpriteFrameCache::removeSpriteFrameByName(const char* name) {
    if (!name) return;
    std::string frameName = name;
    auto alias = m_aliases.find(frameName);
    if (alias != m_aliases.end()) frameName = alias->second;
    if (m_frames.erase(frameName)) {
        dropAliasesOf(frameName);
        forgetLoadedFiles();
    }
}

void CCSpriteFrameCache::removeSpriteFramesFromFile(const char* plistName) {
    if (!plistName) return;
    CCDictionary* sheet = CCDictionary::createWithContentsOfFile(plistName);
    if (!sheet) return;
    auto* frames = dynamic_cast<CCDictionary*>(sheet->objectForKey("frames"));
    if (!frames) return;
    for (const auto& entry : frames->entries()) {
        if (m_frames.erase(entry.first)) dropAliasesOf(entry.first);
    }
    m_loadedFiles.erase(CCFileUtils::sharedFileUtils()->fullPathForFilename(plistName));
}

void CCSpriteFrameCache::dropAliasesOf(const std::string& name) {
    for (auto it = m_aliases.begin(); it != m_aliases.end();)
        it = it->second == name ? m_aliases.erase(it) : std::next(it);
}

} // namespace engine
