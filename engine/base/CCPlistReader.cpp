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
#include <optional>
#include <string>
#include <string_view>

namespace engine {

namespace {

enum class RootKind { DictionaryOrArray, Dictionary };

// Turns plist elements into objects. Every object it returns is owned by the
// caller (count 1, not autoreleased); on failure it returns nullptr and keeps
// the first error with its offset in the text.
class Converter {
  public:
    std::string error;
    ptrdiff_t errorOffset = -1;

    CCObject* convert(pugi::xml_node element, int depth) {
        std::string_view name = element.name();
        if (name == "dict") return convertDictionary(element, depth + 1);
        if (name == "array") return convertArray(element, depth + 1);
        if (name == "string" || name == "date" || name == "data") {
            std::string text;
            if (!textOf(element, text)) return nullptr;
            return new CCString(std::move(text));
        }
        if (name == "integer") return convertInteger(element);
        if (name == "real") return convertReal(element);
        if (name == "true") return new CCBool(true);
        if (name == "false") return new CCBool(false);
        return fail(element, "unknown element <" + std::string(name) + ">");
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
        fail(element, "containers nested deeper than " + std::to_string(kPlistMaxDepth) + " levels");
        return false;
    }

    // The element's character data, all of it; an element inside is an error.
    bool textOf(pugi::xml_node element, std::string& text) {
        for (pugi::xml_node child : element.children()) {
            if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
                text += child.value();
            } else if (child.type() == pugi::node_element) {
                fail(child, "unexpected <" + std::string(child.name()) + "> inside <" + element.name() + ">");
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
                fail(child, std::string("stray text inside <") + container.name() + ">");
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
                    fail(child, "<" + std::string(child.name()) + "> without a <key> in <dict>");
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
        if (ec == std::errc::result_out_of_range) return fail(element, "integer '" + text + "' out of range");
        if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty())
            return fail(element, "'" + text + "' is not an integer");
        return new CCInteger(value);
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
            converter.fail(value, "the root is <" + std::string(name) + ">, not " +
                                      (kind == RootKind::Dictionary ? "a <dict>" : "a <dict> or <array>"));
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
    result->autorelease();
    return result;
}

CCObject* readFile(const char* fileName, const char* prefix, RootKind kind) {
    if (!fileName) {
        CCLog("%s: cannot read plist: no file name given", prefix);
        return nullptr;
    }
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    CCFileUtils::ReadError error;
    std::optional<std::string> contents = files->getFileData(fileName, &error);
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
