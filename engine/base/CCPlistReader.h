#pragma once
// XML property lists: the book's text dictionaries and sprite sheets.
//
// Values map to engine objects: <dict> CCDictionary, <array> CCArray,
// <string> CCString (text exactly as written, white space included),
// <integer> CCInteger, <real> CCDouble, <true/>/<false/> CCBool, <date>
// CCString of its raw text, and <data> CCString of the bytes its base64 text
// stands for. An integer beyond the int range (the format allows 64 bits) is
// read as the nearest int with a CCLog line; the rest of the file is kept.
// The root is a <plist> element holding one value, or that value's element
// itself.
//
// Failure gives nullptr (never an empty container, so a caller can tell a
// broken file from an empty one) and exactly one CCLog line naming the file:
// a missing, unreadable or refused file (see CCFileUtils), XML that does not
// parse, a root of the wrong kind, a <key> without a value, a value without a
// <key>, an unknown element, an integer or real that is not one, <data> that
// is not base64, or containers nested deeper than kPlistMaxDepth. Results are
// autoreleased.
#include <cstddef>

namespace engine {

class CCObject;

// Deeper nesting is treated as malformed rather than risking the stack.
constexpr int kPlistMaxDepth = 512;

// The root value, a CCDictionary or a CCArray, of the property list in the
// file `fileName` (relative to the resource root).
CCObject* ccReadPlistFile(const char* fileName);
// Same, from `size` bytes at `data`; `origin` names the text in log lines.
CCObject* ccReadPlistData(const char* data, size_t size, const char* origin);

} // namespace engine
