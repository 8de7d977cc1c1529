#pragma once
#include "engine/base/CCObject.h"

#include <cstdarg>
#include <string>

namespace engine {

class CCString : public CCObject {
public:
    explicit CCString(std::string text = {}) : m_string(std::move(text)) {}

    static CCString* create(const std::string& text);
    static CCString* createWithFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

    const char* getCString() const { return m_string.c_str(); }
    const std::string& getString() const { return m_string; }
    unsigned int length() const { return static_cast<unsigned int>(m_string.size()); }
    // Decimal: leading white space skipped, optional sign, digits up to the
    // first other character; no digits gives 0; out of range saturates.
    int intValue() const;
    // "true", "yes" or a non-zero number.
    int compare(const char* other) const { return m_string.compare(other); }

private:
    std::string m_string;
};

// The decimal rule of CCString::intValue, for callers holding plain text.
int ccDecimalToInt(const char* text);

// printf-style formatting into a string of the right length.
std::string ccFormatV(const char* format, va_list args);

} // namespace engine
