#pragma once
// 2D affine transform: x' = a*x + c*y + tx, y' = b*x + d*y + ty.
#include "engine/base/CCGeometry.h"

namespace engine {

struct CCAffineTransform {
    float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};

inline constexpr CCAffineTransform CCAffineTransformIdentity{1, 0, 0, 1, 0, 0};

constexpr CCAffineTransform CCAffineTransformMake(float a, float b, float c, float d, float tx, float ty) {
    return {a, b, c, d, tx, ty};
}
CCPoint CCPointApplyAffineTransform(const CCPoint& p, const CCAffineTransform& t);
// Bounding box of the transformed rectangle.
CCRect CCRectApplyAffineTransform(const CCRect& r, const CCAffineTransform& t);
CCAffineTransform CCAffineTransformTranslate(const CCAffineTransform& t, float tx, float ty);
CCAffineTransform CCAffineTransformRotate(const CCAffineTransform& t, float radians);
CCAffineTransform CCAffineTransformScale(const CCAffineTransform& t, float sx, float sy);
// t1 first, then t2.
CCAffineTransform CCAffineTransformConcat(const CCAffineTransform& t1, const CCAffineTransform& t2);
// A singular transform (a node scaled to zero, say) has no inverse: every
// point maps to NaN, which no rectangle contains, so such a node covers nothing.
CCAffineTransform CCAffineTransformInvert(const CCAffineTransform& t);

} // namespace engine
