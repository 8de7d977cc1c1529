#pragma once
// Points, sizes and rectangles in design points (single precision, y up).
#include <cmath>

namespace engine {

struct CCPoint {
    float x = 0, y = 0;
    constexpr CCPoint() = default;
    constexpr CCPoint(float px, float py) : x(px), y(py) {}

    constexpr CCPoint operator+(const CCPoint& o) const { return {x + o.x, y + o.y}; }
    constexpr CCPoint operator-(const CCPoint& o) const { return {x - o.x, y - o.y}; }
    constexpr CCPoint operator-() const { return {-x, -y}; }
    constexpr CCPoint operator*(float s) const { return {x * s, y * s}; }
    constexpr CCPoint operator/(float s) const { return {x / s, y / s}; }
    CCPoint& operator+=(const CCPoint& o) { x += o.x; y += o.y; return *this; }
    CCPoint& operator-=(const CCPoint& o) { x -= o.x; y -= o.y; return *this; }
    constexpr bool operator==(const CCPoint& o) const { return x == o.x && y == o.y; }
    constexpr bool operator!=(const CCPoint& o) const { return !(*this == o); }
    bool equals(const CCPoint& o) const { return *this == o; }
    bool fuzzyEquals(const CCPoint& o, float variance) const {
        return std::fabs(x - o.x) <= variance && std::fabs(y - o.y) <= variance;
    }
    float getLength() const { return std::sqrt(x * x + y * y); }
    float getDistance(const CCPoint& o) const { return (*this - o).getLength(); }
    float dot(const CCPoint& o) const { return x * o.x + y * o.y; }
};

struct CCSize {
    float width = 0, height = 0;
    constexpr CCSize() = default;
    constexpr CCSize(float w, float h) : width(w), height(h) {}
    constexpr CCSize operator*(float s) const { return {width * s, height * s}; }
    constexpr CCSize operator/(float s) const { return {width / s, height / s}; }
    constexpr CCSize operator+(const CCSize& o) const { return {width + o.width, height + o.height}; }
    constexpr CCSize operator-(const CCSize& o) const { return {width - o.width, height - o.height}; }
    constexpr bool operator==(const CCSize& o) const { return width == o.width && height == o.height; }
    constexpr bool operator!=(const CCSize& o) const { return !(*this == o); }
    bool equals(const CCSize& o) const { return *this == o; }
    void setSize(float w, float h) { width = w; height = h; }
};

struct CCRect {
    CCPoint origin;
    CCSize size;
    constexpr CCRect() = default;
    constexpr CCRect(float x, float y, float w, float h) : origin(x, y), size(w, h) {}

    float getMinX() const { return origin.x; }
    float getMidX() const { return origin.x + size.width * 0.5f; }
    float getMaxX() const { return origin.x + size.width; }
    float getMinY() const { return origin.y; }
    float getMidY() const { return origin.y + size.height * 0.5f; }
    float getMaxY() const { return origin.y + size.height; }
    // Edges are inside: a point on the border counts as contained.
    bool containsPoint(const CCPoint& p) const {
        return p.x >= getMinX() && p.x <= getMaxX() && p.y >= getMinY() && p.y <= getMaxY();
    }
    CCRect unionWithRect(const CCRect& r) const;
    // The overlapping part; a zero rectangle when they do not overlap.
    CCRect intersection(const CCRect& r) const;
    constexpr bool operator==(const CCRect& o) const { return origin == o.origin && size == o.size; }
    constexpr bool operator!=(const CCRect& o) const { return !(*this == o); }
    bool equals(const CCRect& o) const { return *this == o; }
};

constexpr CCPoint ccp(float x, float y) { return CCPoint(x, y); }
constexpr CCPoint CCPointMake(float x, float y) { return CCPoint(x, y); }
constexpr CCSize CCSizeMake(float w, float h) { return CCSize(w, h); }
constexpr CCRect CCRectMake(float x, float y, float w, float h) { return CCRect(x, y, w, h); }

inline constexpr CCPoint CCPointZero{0, 0};
inline constexpr CCSize CCSizeZero{0, 0};
inline constexpr CCRect CCRectZero{0, 0, 0, 0};

inline CCPoint ccpAdd(const CCPoint& a, const CCPoint& b) { return a + b; }
inline float ccpDistance(const CCPoint& a, const CCPoint& b) { return a.getDistance(b); }

} // namespace engine
