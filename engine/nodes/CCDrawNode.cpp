#include "engine/nodes/CCDrawNode.h"

#include "engine/render/CCSDLRenderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace engine {

namespace {

bool finite(const CCPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

void addTriangle(std::vector<CCVertex>& out, const CCPoint& a, const CCPoint& b, const CCPoint& c,
                 const ccColor4B& color) {
    out.push_back({a, color});
    out.push_back({b, color});
    out.push_back({c, color});
}

// Four corners that share x and y pairwise around the loop.
bool isUprightRectangle(const std::vector<CCPoint>& p) {
    if (p.size() != 4) return false;
    for (size_t i = 0; i < 4; ++i) {
        const CCPoint& a = p[i];
        const CCPoint& b = p[(i + 1) % 4];
        bool horizontal = a.y == b.y && a.x != b.x;
        bool vertical = a.x == b.x && a.y != b.y;
        if (!horizontal && !vertical) return false;
        // Edges must alternate, or the loop is not a rectangle.
        const CCPoint& c = p[(i + 2) % 4];
        bool nextHorizontal = b.y == c.y && b.x != c.x;
        if (horizontal == nextHorizontal) return false;
    }
    return true;
}

CCPoint unitNormal(const CCPoint& from, const CCPoint& to) {
    CCPoint d = to - from;
    float length = d.getLength();
    return length > 0 ? CCPoint(-d.y / length, d.x / length) : CCPoint();
}

// The corners of an outline `halfWidth` either side of a closed loop, with
// mitred joints (limited, so a needle-sharp corner does not spike).
void outline(const std::vector<CCPoint>& p, float halfWidth, const ccColor4B& color,
             std::vector<CCVertex>& out) {
    size_t n = p.size();
    std::vector<CCPoint> inner(n), outer(n);
    for (size_t i = 0; i < n; ++i) {
        CCPoint before = unitNormal(p[(i + n - 1) % n], p[i]);
        CCPoint after = unitNormal(p[i], p[(i + 1) % n]);
        CCPoint mitre = before + after;
        float length = mitre.getLength();
        CCPoint offset;
        if (length < 1e-4f) {
            offset = after * halfWidth; // the outline turns back on itself
        } else {
            mitre = mitre / length;
            float cosine = std::max(mitre.dot(after), 0.25f);
            offset = mitre * (halfWidth / cosine);
        }
        inner[i] = p[i] - offset;
        outer[i] = p[i] + offset;
    }
    for (size_t i = 0; i < n; ++i) {
        size_t j = (i + 1) % n;
        addTriangle(out, inner[i], outer[i], inner[j], color);
        addTriangle(out, inner[j], outer[i], outer[j], color);
    }
}

std::vector<CCPoint> circle(const CCPoint& centre, float radius) {
    int segments = std::clamp(static_cast<int>(radius * 0.75f), 16, 96);
    std::vector<CCPoint> points;
    points.reserve(segments);
    for (int i = 0; i < segments; ++i) {
        float angle = 2.0f * std::numbers::pi_v<float> * i / segments;
        points.push_back(centre + CCPoint(std::cos(angle), std::sin(angle)) * radius);
    }
    return points;
}

} // namespace

CCDrawNode* CCDrawNode::create() {
    auto* node = new CCDrawNode();
    return autoreleasedIf(node->init(), node);
}

void CCDrawNode::drawPolygon(const CCPoint* vertices, unsigned int count, const ccColor4F& fillColor,
                             float borderWidth, const ccColor4F& borderColor) {
    if (!vertices || count < 3) return;
    std::vector<CCPoint> points;
    points.reserve(count);
    for (unsigned int i = 0; i < count; ++i) {
        if (!finite(vertices[i])) return;
        // Repeated corners would give edges without direction.
        if (points.empty() || points.back() != vertices[i]) points.push_back(vertices[i]);
    }
    while (points.size() > 1 && points.back() == points.front())
        points.pop_back();
    if (points.size() < 3) return;

    Shape shape;
    ccColor4B fill = ccc4BFromccc4F(fillColor);
    ccColor4B border = ccc4BFromccc4F(borderColor);
    bool hasBorder = std::isfinite(borderWidth) && borderWidth > 0 && border.a > 0;
    // Even a transparent fill is part of the shape: as a stencil it still covers.
    for (size_t i = 1; i + 1 < points.size(); ++i)
        addTriangle(shape.triangles, points[0], points[i], points[i + 1], fill);
    shape.alpha = std::isfinite(fillColor.a) ? fillColor.a : 0.0f;
    shape.isRectangle = !hasBorder && isUprightRectangle(points);
    shape.rectangleColor = fill;
    if (hasBorder) {
        outline(points, borderWidth * 0.5f, border, shape.triangles);
        shape.alpha = std::max(shape.alpha, std::isfinite(borderColor.a) ? borderColor.a : 0.0f);
    }
    addShape(std::move(shape));
}

void CCDrawNode::drawDot(const CCPoint& position, float radius, const ccColor4F& color) {
    if (!finite(position) || !std::isfinite(radius) || radius <= 0) return;
    std::vector<CCPoint> points = circle(position, radius);
    drawPolygon(points.data(), static_cast<unsigned int>(points.size()), color, 0, color);
}

void CCDrawNode::drawSegment(const CCPoint& from, const CCPoint& to, float radius, const ccColor4F& color) {
    if (!finite(from) || !finite(to) || !std::isfinite(radius) || radius <= 0) return;
    CCPoint side = unitNormal(from, to) * radius;
    if (side != CCPointZero) {
        const CCPoint band[4] = {from - side, to - side, to + side, from + side};
        drawPolygon(band, 4, color, 0, color);
    }
    drawDot(from, radius, color);
    drawDot(to, radius, color);
}

void CCDrawNode::clear() {
    m_shapes.clear();
}

void CCDrawNode::addShape(Shape&& shape) {
    if (shape.triangles.empty()) return;
    float minX = shape.triangles[0].position.x, maxX = minX;
    float minY = shape.triangles[0].position.y, maxY = minY;
    for (const CCVertex& v : shape.triangles) {
        minX = std::min(minX, v.position.x);
        maxX = std::max(maxX, v.position.x);
        minY = std::min(minY, v.position.y);
        maxY = std::max(maxY, v.position.y);
    }
    shape.bounds = CCRect(minX, minY, maxX - minX, maxY - minY);
    m_shapes.push_back(std::move(shape));
}

bool CCDrawNode::getDrawnBounds(CCRect& out, float alphaThreshold) const {
    bool any = false;
    for (const Shape& shape : m_shapes) {
        if (alphaThreshold < 1.0f && !(shape.alpha > alphaThreshold)) continue;
        out = any ? out.unionWithRect(shape.bounds) : shape.bounds;
        any = true;
    }
    return any;
}

void CCDrawNode::draw() {
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) return;
    for (const Shape& shape : m_shapes) {
        if (shape.isRectangle) {
            // A plain fill where the transform keeps it upright.
            CCAffineTransform place =
                CCAffineTransformMake(1, 0, 0, 1, shape.bounds.origin.x, shape.bounds.origin.y);
            renderer->drawColoredQuad(shape.bounds.size, CCAffineTransformConcat(place, m_worldTransform),
                                      shape.rectangleColor);
        } else {
            renderer->drawTriangles(nullptr, shape.triangles.data(), static_cast<int>(shape.triangles.size()),
                                    nullptr, 0, m_worldTransform);
        }
    }
}

} // namespace engine
