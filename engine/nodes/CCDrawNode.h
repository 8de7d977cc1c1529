#pragma once
// Shapes drawn in the node's space: filled polygons with an outline, dots
// and thick segments. Shapes accumulate until clear(). Also the usual
// stencil of a clipping node, which asks it what it covers.
#include "engine/base/CCGeometry.h"
#include "engine/base/ccTypes.h"
#include "engine/nodes/CCNode.h"
#include "engine/render/CCVertex.h"

#include <vector>

namespace engine {

class CCDrawNode : public CCNode {
public:
    static CCDrawNode* create();

    // A polygon filled as a fan from its first corner (right for convex
    // polygons), with an outline `borderWidth` points thick centred on its
    // edges (none when 0). Fewer than three corners, or a corner that is not
    // a finite number, draws nothing.
    void drawPolygon(const CCPoint* vertices, unsigned int count, const ccColor4F& fillColor,
                     float borderWidth, const ccColor4F& borderColor);
    void drawDot(const CCPoint& position, float radius, const ccColor4F& color);
    // A line `radius` points either side of from-to, with round ends.
    void drawSegment(const CCPoint& from, const CCPoint& to, float radius, const ccColor4F& color);
    void clear();
    bool isEmpty() const { return m_shapes.empty(); }

    // The node-space box of what it draws, counting only shapes with some
    // colour whose alpha exceeds `alphaThreshold` (all shapes at 1 or more,
    // transparent ones too, as a stencil test without alpha test would).
    // False when nothing counts.
    bool getDrawnBounds(CCRect& out, float alphaThreshold = 1.0f) const;

    void draw() override;

protected:
    CCDrawNode() = default;

private:
    struct Shape {
        std::vector<CCVertex> triangles; // a triangle list in node space
        CCRect bounds;
        float alpha = 0;          // the most opaque of its colours
        bool isRectangle = false; // an upright filled rectangle without outline
        ccColor4B rectangleColor;
    };
    void addShape(Shape&& shape);

    std::vector<Shape> m_shapes;
};

} // namespace engine
