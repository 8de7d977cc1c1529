#pragma once
// Colours: bytes (ccColor3B, ccColor4B) and floats 0..1 (ccColor4F).
#include <cstdint>

namespace engine {

using GLubyte = std::uint8_t;

struct ccColor3B {
    GLubyte r = 0, g = 0, b = 0;
    constexpr bool operator==(const ccColor3B& o) const { return r == o.r && g == o.g && b == o.b; }
    constexpr bool operator!=(const ccColor3B& o) const { return !(*this == o); }
};

struct ccColor4B {
    GLubyte r = 0, g = 0, b = 0, a = 0;
    constexpr bool operator==(const ccColor4B& o) const {
        return r == o.r && g == o.g && b == o.b && a == o.a;
    }
    constexpr bool operator!=(const ccColor4B& o) const { return !(*this == o); }
};

struct ccColor4F {
    float r = 0, g = 0, b = 0, a = 0;
    constexpr bool operator==(const ccColor4F& o) const {
        return r == o.r && g == o.g && b == o.b && a == o.a;
    }
};

constexpr ccColor3B ccc3(GLubyte r, GLubyte g, GLubyte b) { return {r, g, b}; }
constexpr ccColor4B ccc4(GLubyte r, GLubyte g, GLubyte b, GLubyte a) { return {r, g, b, a}; }
constexpr ccColor4F ccc4f(float r, float g, float b, float a) { return {r, g, b, a}; }

constexpr ccColor4F ccc4FFromccc4B(ccColor4B c) {
    return {c.r / 255.f, c.g / 255.f, c.b / 255.f, c.a / 255.f};
}
constexpr ccColor4B ccc4BFromccc4F(ccColor4F c) {
    auto clampByte = [](float v) -> GLubyte {
        float scaled = v * 255.f + 0.5f;
        return scaled <= 0.f ? 0 : scaled >= 255.f ? 255 : static_cast<GLubyte>(scaled);
    };
    return {clampByte(c.r), clampByte(c.g), clampByte(c.b), clampByte(c.a)};
}

inline constexpr ccColor3B ccWHITE{255, 255, 255};
inline constexpr ccColor3B ccBLACK{0, 0, 0};
inline constexpr ccColor3B ccRED{255, 0, 0};
inline constexpr ccColor3B ccGREEN{0, 255, 0};
inline constexpr ccColor3B ccBLUE{0, 0, 255};
inline constexpr ccColor3B ccYELLOW{255, 255, 0};
inline constexpr ccColor3B ccMAGENTA{255, 0, 255};
inline constexpr ccColor3B ccORANGE{255, 127, 0};
inline constexpr ccColor3B ccGRAY{166, 166, 166};

// Horizontal and vertical text alignment, shared by labels and text fields.
enum CCTextAlignment { kCCTextAlignmentLeft = 0, kCCTextAlignmentCenter = 1, kCCTextAlignmentRight = 2 };
enum CCVerticalTextAlignment {
    kCCVerticalTextAlignmentTop = 0,
    kCCVerticalTextAlignmentCenter = 1,
    kCCVerticalTextAlignmentBottom = 2
};

} // namespace engine
