#include "engine/transitions/PageCurlMesh.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace engine {

namespace {
constexpr float kPi = 3.14159265358979f;
// Of the page's width: the bend's radius at the start and its growth by the end.
constexpr float kStartRadius = 0.06f;
constexpr float kRadiusGrowth = 0.10f;
// How dark the back of the page is next to its front in the same light.
constexpr float kBackShade = 0.72f;
// Light from the viewer, with some ambient light so no part goes black.
constexpr float kAmbient = 0.5f;
// Distance of the eye in page heights: a mild perspective for the raised part.
constexpr float kEyeDistance = 3.0f;

float brightnessFor(float cosine, bool back) {
    float lit = kAmbient + (1.0f - kAmbient) * std::fabs(cosine);
    return back ? lit * kBackShade : lit;
}
} // namespace

PageCurlMesh::PageCurlMesh(const CCSize& page, int columns, int rows)
    : m_page(page), m_columns(std::max(1, columns)), m_rows(std::max(1, rows)) {
    float slant = kSlantDegrees * kPi / 180.0f;
    m_direction = {std::cos(slant), -std::sin(slant)};
    update(0.0f, true);
}

PageCurlMesh::Placement PageCurlMesh::place(const CCPoint& p) const {
    Placement out;
    float along = p.dot(m_direction);
    float past = along - m_axis;
    float newAlong = along;
    if (past <= 0.0f) {
        out.brightness = 1.0f;
    } else if (past <= kPi * m_radius) {
        float angle = past / m_radius;
        newAlong = m_axis + m_radius * std::sin(angle);
        out.height = m_radius * (1.0f - std::cos(angle));
        out.back = std::cos(angle) < 0.0f;
        out.brightness = brightnessFor(std::cos(angle), out.back);
    } else {
        newAlong = m_axis - (past - kPi * m_radius);
        out.height = 2.0f * m_radius;
        out.back = true;
        out.brightness = brightnessFor(1.0f, true);
    }
    CCPoint moved = p + m_direction * (newAlong - along);
    // Raised points come a little towards the viewer, away from the page's centre.
    CCPoint centre(m_page.width / 2.0f, m_page.height / 2.0f);
    float eye = kEyeDistance * m_page.height;
    float grow = eye / (eye - out.height);
    out.position = centre + (moved - centre) * grow;
    return out;
}

void PageCurlMesh::update(float progress, bool depthSorted) {
    progress = std::clamp(progress, 0.0f, 1.0f);
    m_radius = m_page.width * (kStartRadius + kRadiusGrowth * progress);
    // The page's extent across the axis.
    float first = 0.0f, last = 0.0f;
    bool any = false;
    for (CCPoint corner : {CCPoint(0, 0), CCPoint(m_page.width, 0), CCPoint(0, m_page.height),
                           CCPoint(m_page.width, m_page.height)}) {
        float along = corner.dot(m_direction);
        first = any ? std::min(first, along) : along;
        last = any ? std::max(last, along) : along;
        any = true;
    }
    // At the end the bend and the back (which lies mirrored about the axis,
    // shifted by half the bend's circumference) are both past the page's
    // first edge.
    float finalRadius = m_page.width * (kStartRadius + kRadiusGrowth);
    float end = first - finalRadius * (kPi / 2.0f + 1.0f);
    m_axis = last + (end - last) * progress;

    m_vertices.clear();
    for (int row = 0; row <= m_rows; ++row) {
        float fy = static_cast<float>(row) / m_rows;
        for (int column = 0; column <= m_columns; ++column) {
            float fx = static_cast<float>(column) / m_columns;
            Placement placed = place({m_page.width * fx, m_page.height * fy});
            auto shade = static_cast<GLubyte>(std::lround(255.0f * placed.brightness));
            CCVertex v;
            v.position = placed.position;
            v.color = {shade, shade, shade, 255};
            v.u = fx;
            v.v = 1.0f - fy;
            m_vertices.push_back(v);
        }
    }

    int cells = m_columns * m_rows;
    m_cellOrder.resize(static_cast<size_t>(cells));
    std::iota(m_cellOrder.begin(), m_cellOrder.end(), 0);
    if (depthSorted) {
        // Distance past the axis of each cell's centre: height only grows with it.
        m_depthKeys.resize(static_cast<size_t>(cells));
        for (int cell = 0; cell < cells; ++cell) {
            int row = cell / m_columns, column = cell % m_columns;
            CCPoint centre(m_page.width * (column + 0.5f) / m_columns, m_page.height * (row + 0.5f) / m_rows);
            m_depthKeys[static_cast<size_t>(cell)] = std::max(0.0f, centre.dot(m_direction) - m_axis);
        }
        std::stable_sort(m_cellOrder.begin(), m_cellOrder.end(),
                         [&](int a, int b) { return m_depthKeys[a] < m_depthKeys[b]; });
    }
    m_indices.clear();
    for (int cell : m_cellOrder) {
        int row = cell / m_columns, column = cell % m_columns;
        int lowerLeft = row * (m_columns + 1) + column;
        int upperLeft = lowerLeft + m_columns + 1;
        for (int index : {lowerLeft, lowerLeft + 1, upperLeft, upperLeft, lowerLeft + 1, upperLeft + 1})
            m_indices.push_back(index);
    }
}

} // namespace engine
