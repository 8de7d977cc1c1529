#pragma once
// The turning page of a page-turn transition: a flat page bent around a
// cylinder whose axis sweeps across the page.
//
// The axis runs slightly slanted, so the lower right corner lifts first.
// Points behind the axis stay flat; points past it wrap around the cylinder
// (rising towards the viewer) and, past half a turn, lie flat again upside
// down on top of the page: the page's back, which is drawn darker. As the
// progress goes from 0 to 1 the axis moves from the right edge until the
// whole page, back and all, has left the page's rectangle to the left.
//
// Vertex positions are in page points (origin at the lower left), texture
// coordinates cover the whole page texture and vertex colours carry the
// shading.
//
// With depth sorting the mesh follows the bend: the page is cut along lines
// parallel to the axis, so its triangles go to the cylinder (kBendStrips
// strips over half a turn) while the flat part and the flat back take a few
// each; pieces come back to front (the bend only rises away from the axis).
// Most of the flat part is given as upright rectangles (flatRects) to draw
// first as plain copies of the page; the mesh covers the rest of it, a point
// into those rectangles so that no seam can open between them.
// Without depth sorting the page is a uniform grid of columns x rows cells
// drawn in grid order, as without a depth buffer.
#include "engine/base/CCGeometry.h"
#include "engine/render/CCVertex.h"

#include <vector>

namespace engine {

class PageCurlMesh {
public:
    PageCurlMesh(const CCSize& page, int columns, int rows);

    void update(float progress, bool depthSorted);

    const std::vector<CCVertex>& vertices() const { return m_vertices; }
    const std::vector<int>& indices() const { return m_indices; }
    // Parts of the page lying flat where they are, in page points; empty
    // without depth sorting.
    const std::vector<CCRect>& flatRects() const { return m_flatRects; }

    // Where a point of the flat page lies now (after projection), how high
    // above the page, and whether the viewer sees its back.
    struct Placement {
        CCPoint position;
        float height = 0.0f;
        bool back = false;
        float brightness = 1.0f;
    };
    Placement place(const CCPoint& pagePoint) const;
    float radius() const { return m_radius; }

    // The slant of the axis, in degrees from vertical.
    static constexpr float kSlantDegrees = 15.0f;
    static constexpr int kBendStrips = 24;
    // Horizontal bands of the flat part: more bands leave less of it to
    // the mesh, at one more plain copy each.
    static constexpr int kFlatBands = 8;

private:
    // A convex piece of the page, at most the page's corners cut by two lines.
    struct Piece {
        CCPoint points[8];
        int count = 0;
    };
    void updateGrid();
    void updateStrips();
    // Keeps the part of `piece` where p . normal <= limit.
    static void cut(Piece& piece, const CCPoint& normal, float limit);
    void addPiece(const Piece& piece);
    CCVertex vertexAt(const CCPoint& pagePoint) const;

    CCSize m_page;
    int m_columns, m_rows;
    CCPoint m_direction; // unit, across the axis, towards the free edge
    float m_axis = 0.0f; // where the axis crosses m_direction
    float m_radius = 0.0f;
    std::vector<CCVertex> m_vertices;
    std::vector<int> m_indices;
    std::vector<CCRect> m_flatRects;
};

} // namespace engine
