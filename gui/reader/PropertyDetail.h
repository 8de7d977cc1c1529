#pragma once
// Small value helpers shared by the property readers. Internal to the reader.
#include "engine/base/CCGeometry.h"
#include "engine/base/ccTypes.h"

namespace Json {
class Value;
}

namespace gui::reader {

// The key holds a boolean (or a number); a value of another type counts as
// missing, so a property applied "only if present" stays untouched.
bool hasBool(const Json::Value* options, const char* key);
bool hasNumber(const Json::Value* options, const char* key);
// An integer clamped to 0..255, so 300 is full and not 44.
engine::GLubyte byteValue(const Json::Value* options, const char* key, int defaultValue);
engine::ccColor3B colorValue(const Json::Value* options, const char* r, const char* g, const char* b,
                             int defaultValue);
// "capInsetsX", "capInsetsY", "capInsetsWidth", "capInsetsHeight".
engine::CCRect capInsetsValue(const Json::Value* options);

} // namespace gui::reader
