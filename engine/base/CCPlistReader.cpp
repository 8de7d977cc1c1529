// XML property lists into engine objects, and the CCDictionary file readers
// built on them.
//
// Contents: value conversion (Converter) · root selection (readRoot) · file
// reading (readFile) · public entry points.
#include "engine/base/CCPlistReader.h"

#include "engine/base/CCArray.h"
#include "engine/base/CCDictionary.h"
#include "engine/base/CCInteger.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCString.h"
#include "engine/platform/CCFileUtils.h"

#include <pugixml.hpp>

#include <charconv>
#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace engine {

namespace {

enum class RootKind { DictionaryOrArray, Dictionary };

// Message text from pieces, by appending only: GCC 12 warns falsely
// (-Wrestrict) about "literal" + std::string once it is inlined.
template <class... Parts> std::string message(const Parts&... parts) {
    std::string text;
    (text.append(std::string_view(parts)), ...);
    return text;
}

// Turns plist elements into objects. Every object it returns is owned by the
// caller (count 1, not autoreleased); on failure it returns nullptr and keeps
// the first error with its offset in the text.
class Converter {
  public:
    std::string error;
    ptrdiff_t errorOffset = -1;
    // Values kept in a changed form, each with its offset; logged, not fatal.
    std::vector<std::pair<std::string, ptrdiff_t>> notes;

    CCObject* convert(pugi::xml_node element, int depth) {
        std::string_view name = element.name();
        if (name == "dict") return convertDictionary(element, depth + 1);
        if (name == "array") return convertArray(element, depth + 1);
        if (name == "string" || name == "date") {
            std::string text;
            if (!textOf(element, text)) return nullptr;
            return new CCString(std::move(text));
        }
        if (name == "data") return convertData(element);
        if (name == "integer") return convertInteger(element);
        if (name == "real") return convertReal(element);
        if (name == "true") return new CCBool(true);
        if (name == "false") return new CCBool(false);
        return fail(element, message("unknown element <", name, ">"));
    }

    CCObject* fail(pugi::xml_node at, std::string message) {
        if (error.empty()) {
            error = std::move(message);
            errorOffset = at.offset_debug();
            // An element's offset is that of its name; point at its '<'.
            if (errorOffset > 0 && at.type() == pugi::node_element) --errorOffset;
        }
        return nullptr;
    }

  private:
    static bool isBlank(std::string_view text) {
        return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
    }

    static std::string_view trimmed(std::string_view text) {
        size_t first = text.find_first_not_of(" \t\r\n");
        if (first == std::string_view::npos) return {};
        size_t last = text.find_last_not_of(" \t\r\n");
        return text.substr(first, last - first + 1);
    }

    bool checkDepth(pugi::xml_node element, int depth) {
        if (depth <= kPlistMaxDepth) return true;
        fail(element, message("containers nested deeper than ", std::to_string(kPlistMaxDepth), " levels"));
        return false;
    }

    // The element's character data, all of it; an element inside is an error.
    bool textOf(pugi::xml_node element, std::string& text) {
        for (pugi::xml_node child : element.children()) {
            if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
                text += child.value();
            } else if (child.type() == pugi::node_element) {
                fail(child, message("unexpected <", child.name(), "> inside <", element.name(), ">"));
                return false;
            }
        }
        return true;
    }

    // Element children of a container; text other than white space is an error.
    template <class Visit> bool forEachElement(pugi::xml_node container, Visit visit) {
        for (pugi::xml_node child : container.children()) {
            if (child.type() == pugi::node_element) {
                if (!visit(child)) return false;
            } else if ((child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) &&
                       !isBlank(child.value())) {
                fail(child, message("stray text inside <", container.name(), ">"));
                return false;
            }
        }
        return true;
    }

    CCObject* convertDictionary(pugi::xml_node element, int depth) {
        if (!checkDepth(element, depth)) return nullptr;
        auto* dictionary = new CCDictionary();
        pugi::xml_node pendingKey;
        std::string key;
        bool ok = forEachElement(element, [&](pugi::xml_node child) {
            if (!pendingKey) {
                if (std::string_view(child.name()) != "key") {
                    fail(child, message("<", child.name(), "> without a <key> in <dict>"));
                    return false;
                }
                key.clear();
                if (!textOf(child, key)) return false;
                pendingKey = child;
                return true;
            }
            if (std::string_view(child.name()) == "key") {
                fail(pendingKey, "<key> '" + key + "' has no value");
                return false;
            }
            CCObject* value = convert(child, depth);
            if (!value) return false;
            // A repeated key keeps its last value.
            dictionary->setObject(value, key);
            value->release();
            pendingKey = pugi::xml_node();
            return true;
        });
        if (ok && pendingKey) {
            fail(pendingKey, "<key> '" + key + "' has no value");
            ok = false;
        }
        if (!ok) {
            dictionary->release();
            return nullptr;
        }
        return dictionary;
    }

    CCObject* convertArray(pugi::xml_node element, int depth) {
        if (!checkDepth(element, depth)) return nullptr;
        auto* array = new CCArray();
        bool ok = forEachElement(element, [&](pugi::xml_node child) {
            CCObject* value = convert(child, depth);
            if (!value) return false;
            array->addObject(value);
            value->release();
            return true;
        });
        if (!ok) {
            array->release();
            return nullptr;
        }
        return array;
    }

    // Decimal with an optional sign, white space around it allowed.
    CCObject* convertInteger(pugi::xml_node element) {
        std::string text;
        if (!textOf(element, text)) return nullptr;
        std::string_view digits = trimmed(text);
        if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-') digits.remove_prefix(1);
        int value = 0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (end != digits.data() + digits.size() || digits.empty() ||
            (ec != std::errc() && ec != std::errc::result_out_of_range))
            return fail(element, "'" + text + "' is not an integer");
        if (ec == std::errc::result_out_of_range) {
            // Valid in the format (64 bits and more), but not for an int: one
            // value out of range must not lose the whole file.
            value = digits[0] == '-' ? INT_MIN : INT_MAX;
            note(element, message("integer ", shortened(digits), " is beyond the 32-bit range; read as ",
                                  std::to_string(value)));
        }
        return new CCInteger(value);
    }

    // Base64, white space anywhere; other characters or a cut-off group make it malformed.
    CCObject* convertData(pugi::xml_node element) {
        std::string text;
        if (!textOf(element, text)) return nullptr;
        std::string bytes;
        unsigned int bits = 0;
        int bitCount = 0, symbols = 0, padding = 0;
        for (char c : text) {
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
            int sextet = base64Value(c);
            if (c == '=' && symbols % 4 >= 2 && padding < 2) {
                ++padding;
                ++symbols;
                continue;
            }
            if (sextet < 0 || padding > 0) return fail(element, "<data> is not base64");
            ++symbols;
            bits = (bits << 6) | static_cast<unsigned int>(sextet);
            bitCount += 6;
            if (bitCount >= 8) {
                bitCount -= 8;
                bytes += static_cast<char>((bits >> bitCount) & 0xFF);
            }
        }
        if (symbols % 4 == 1 || (padding > 0 && symbols % 4 != 0))
            return fail(element, "<data> is not base64 (cut off)");
        return new CCString(std::move(bytes));
    }

    static int base64Value(char c) {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+') return 62;
        if (c == '/') return 63;
        return -1;
    }

    // A value quoted in a log line stays short.
    static std::string shortened(std::string_view text) {
        constexpr size_t kMax = 40;
        return text.size() <= kMax ? std::string(text) : message(text.substr(0, kMax), "...");
    }

    void note(pugi::xml_node at, std::string text) {
        ptrdiff_t offset = at.offset_debug();
        if (offset > 0 && at.type() == pugi::node_element) --offset;
        notes.emplace_back(std::move(text), offset);
    }

    CCObject* convertReal(pugi::xml_node element) {
        std::string text;
        if (!textOf(element, text)) return nullptr;
        std::string_view digits = trimmed(text);
        if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-') digits.remove_prefix(1);
        double value = 0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty())
            return fail(element, "'" + text + "' is not a real number");
        return new CCDouble(value);
    }
};

// The value element that the document stands for: the one value inside
// <plist>, or a bare value as the document's element.
pugi::xml_node valueElement(const pugi::xml_document& document, Converter& converter) {
    pugi::xml_node root = document.document_element();
    for (pugi::xml_node sibling = root.next_sibling(); sibling; sibling = sibling.next_sibling()) {
        if (sibling.type() == pugi::node_element) {
            converter.fail(sibling, "more than one root element");
            return {};
        }
    }
    if (std::string_view(root.name()) != "plist") return root;
    pugi::xml_node value;
    for (pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element) continue;
        if (value) {
            converter.fail(child, "more than one value in <plist>");
            return {};
        }
        value = child;
    }
    if (!value) converter.fail(root, "<plist> holds no value");
    return value;
}

// Parses the text and converts its root; logs one line under `prefix` on failure.
CCObject* readRoot(const char* data, size_t size, const char* origin, const char* prefix, RootKind kind) {
    if (!origin) origin = "(unnamed)";
    if (!data) size = 0;
    pugi::xml_document document;
    // Keep a string made only of white space; drop the blanks between elements.
    unsigned int options = pugi::parse_default | pugi::parse_ws_pcdata_single;
    pugi::xml_parse_result parsed = document.load_buffer(data ? data : "", size, options);
    if (!parsed) {
        CCLog("%s: cannot parse plist '%s': %s at offset %td", prefix, origin, parsed.description(),
              parsed.offset);
        return nullptr;
    }

    Converter converter;
    CCObject* result = nullptr;
    if (pugi::xml_node value = valueElement(document, converter)) {
        std::string_view name = value.name();
        if (name == "dict" || (name == "array" && kind == RootKind::DictionaryOrArray)) {
            result = converter.convert(value, 0);
        } else {
            converter.fail(value, message("the root is <", name, ">, not ",
                                          kind == RootKind::Dictionary ? "a <dict>" : "a <dict> or <array>"));
        }
    }
    if (!result) {
        if (converter.errorOffset >= 0)
            CCLog("%s: cannot parse plist '%s': %s at offset %td", prefix, origin, converter.error.c_str(),
                  converter.errorOffset);
        else
            CCLog("%s: cannot parse plist '%s': %s", prefix, origin, converter.error.c_str());
        return nullptr;
    }
    // A broken file gets its one line; a kept one names each value read differently.
    for (const auto& [text, offset] : converter.notes)
        CCLog("%s: plist '%s': %s at offset %td", prefix, origin, text.c_str(), offset);
    return autoreleased(result);
}

CCObject* readFile(const char* fileName, const char* prefix, RootKind kind) {
    if (!fileName) {
        CCLog("%s: cannot read plist: no file name given", prefix);
        return nullptr;
    }
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    CCFileUtils::ReadError error;
    std::optional<std::string> contents =
        files->getFileData(fileName, &error, CCFileUtils::FileKind::Dictionary);
    if (!contents) {
        // A refused name has been logged by the file layer already.
        if (error == CCFileUtils::ReadError::Missing)
            CCLog("%s: cannot read plist '%s': no such file '%s'", prefix, fileName,
                  files->fullPathForFilename(fileName).c_str());
        else if (error == CCFileUtils::ReadError::Unreadable)
            CCLog("%s: cannot read plist '%s': '%s' is not a readable file", prefix, fileName,
                  files->fullPathForFilename(fileName).c_str());
        return nullptr;
    }
    return readRoot(contents->data(), contents->size(), fileName, prefix, kind);
}

} // namespace

CCObject* ccReadPlistFile(const char* fileName) {
    return readFile(fileName, "CCPlist", RootKind::DictionaryOrArray);
}

CCObject* ccReadPlistData(const char* data, size_t size, const char* origin) {
    return readRoot(data, size, origin, "CCPlist", RootKind::DictionaryOrArray);
}

CCDictionary* CCDictionary::createWithContentsOfFile(const char* fileName) {
    return static_cast<CCDictionary*>(readFile(fileName, "CCDictionary", RootKind::Dictionary));
}

CCDictionary* CCDictionary::createWithPlistData(const char* data, size_t size, const char* origin) {
    return static_cast<CCDictionary*>(readRoot(data, size, origin, "CCDictionary", RootKind::Dictionary));
}

} // namespace engine
