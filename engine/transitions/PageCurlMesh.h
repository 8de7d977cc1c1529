#pragma once
// The turning page of a page-turn transition: a grid over a flat page, bent
// around a cylinder whose axis sweeps across the page.
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
// shading. With depth sorting, triangles come back to front (the bend only
// rises along the way, so ordering by distance past the axis is exact);
// without it they come in grid order.
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

private:
    CCSize m_page;
    int m_columns, m_rows;
    CCPoint m_direction; // unit, across the axis, towards the free edge
    float m_axis = 0.0f; // where the axis crosses m_direction
    float m_radius = 0.0f;
    std::vector<CCVertex> m_vertices;
    std::vector<int> m_indices;
    std::vector<float> m_depthKeys; // per cell
    std::vector<int> m_cellOrder;
};

} // namespace engine
