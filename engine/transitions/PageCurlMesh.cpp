#include "engine/transitions/PageCurlMesh.h"

#include <algorithm>
#include <cmath>

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
    // Room for the larger of both meshes once, so that frames allocate nothing.
    constexpr size_t kPieces = kFlatBands + kBendStrips + 1;
    size_t gridPoints = static_cast<size_t>(m_columns + 1) * static_cast<size_t>(m_rows + 1);
    m_vertices.reserve(std::max(kPieces * 6, gridPoints));
    m_indices.reserve(std::max(kPieces * 12, static_cast<size_t>(m_columns) * m_rows * 6));
    m_flatRects.reserve(kFlatBands);
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
    m_indices.clear();
    m_flatRects.clear();
    if (depthSorted)
        updateStrips();
    else
        updateGrid();
}

CCVertex PageCurlMesh::vertexAt(const CCPoint& pagePoint) const {
    Placement placed = place(pagePoint);
    auto shade = static_cast<GLubyte>(std::lround(255.0f * placed.brightness));
    CCVertex v;
    v.position = placed.position;
    v.color = {shade, shade, shade, 255};
    v.u = pagePoint.x / m_page.width;
    v.v = 1.0f - pagePoint.y / m_page.height;
    return v;
}

void PageCurlMesh::updateGrid() {
    for (int row = 0; row <= m_rows; ++row) {
        float y = m_page.height * static_cast<float>(row) / m_rows;
        for (int column = 0; column <= m_columns; ++column)
            m_vertices.push_back(vertexAt({m_page.width * static_cast<float>(column) / m_columns, y}));
    }
    for (int row = 0; row < m_rows; ++row) {
        for (int column = 0; column < m_columns; ++column) {
            int lowerLeft = row * (m_columns + 1) + column;
            int upperLeft = lowerLeft + m_columns + 1;
            for (int index : {lowerLeft, lowerLeft + 1, upperLeft, upperLeft, lowerLeft + 1, upperLeft + 1})
                m_indices.push_back(index);
        }
    }
}

void PageCurlMesh::updateStrips() {
    const float w = m_page.width, h = m_page.height;
    auto pageRect = [&](float left, float bottom, float right, float top) {
        Piece piece;
        piece.points[0] = {left, bottom};
        piece.points[1] = {right, bottom};
        piece.points[2] = {right, top};
        piece.points[3] = {left, top};
        piece.count = 4;
        return piece;
    };
    const CCPoint towardsAxis = m_direction * -1.0f;
    // Flat part: in each band, the page left of where the axis crosses the
    // band's lower edge is a rectangle; the rest up to the axis is mesh.
    float slope = -m_direction.y / m_direction.x; // of x along the axis per unit of y
    for (int band = 0; band < kFlatBands; ++band) {
        float bottom = h * static_cast<float>(band) / kFlatBands;
        float top = h * static_cast<float>(band + 1) / kFlatBands;
        float crossing = m_axis / m_direction.x + bottom * slope;
        float right = std::clamp(crossing, 0.0f, w);
        if (right > 0.0f) m_flatRects.emplace_back(0.0f, bottom, right, top - bottom);
        if (crossing >= w) continue;
        Piece rest = pageRect(std::max(0.0f, right - 1.0f), bottom, w, top);
        cut(rest, m_direction, m_axis);
        addPiece(rest);
    }
    // The bend, back to front: height only grows with the distance past the axis.
    float halfTurn = kPi * m_radius;
    for (int strip = 0; strip < kBendStrips; ++strip) {
        Piece piece = pageRect(0, 0, w, h);
        cut(piece, towardsAxis, -(m_axis + halfTurn * static_cast<float>(strip) / kBendStrips));
        cut(piece, m_direction, m_axis + halfTurn * static_cast<float>(strip + 1) / kBendStrips);
        addPiece(piece);
    }
    Piece back = pageRect(0, 0, w, h);
    cut(back, towardsAxis, -(m_axis + halfTurn));
    addPiece(back);
}

void PageCurlMesh::cut(Piece& piece, const CCPoint& normal, float limit) {
    Piece kept;
    for (int i = 0; i < piece.count; ++i) {
        const CCPoint& a = piece.points[i];
        const CCPoint& b = piece.points[(i + 1) % piece.count];
        float da = a.dot(normal) - limit, db = b.dot(normal) - limit;
        if (da <= 0.0f) kept.points[kept.count++] = a;
        if ((da < 0.0f && db > 0.0f) || (da > 0.0f && db < 0.0f))
            kept.points[kept.count++] = a + (b - a) * (da / (da - db));
    }
    piece = kept;
}

void PageCurlMesh::addPiece(const Piece& piece) {
    if (piece.count < 3) return;
    int base = static_cast<int>(m_vertices.size());
    for (int i = 0; i < piece.count; ++i)
        m_vertices.push_back(vertexAt(piece.points[i]));
    for (int i = 1; i + 1 < piece.count; ++i) {
        m_indices.push_back(base);
        m_indices.push_back(base + i);
        m_indices.push_back(base + i + 1);
    }
}

} // namespace engine
