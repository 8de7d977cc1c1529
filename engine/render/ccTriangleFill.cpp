#include "engine/render/ccTriangleFill.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace engine {

namespace {

// Fixed point with 16 bits of fraction: texture coordinates and shading step
// by a constant along a row.
constexpr double kOne = 65536.0;

// A value that varies linearly over the triangle: at0 at its first corner.
struct Plane {
    double dx = 0, dy = 0, at0 = 0;
};

// An edge with its ends in a fixed order (top first, then left first), so
// that two triangles sharing it compute the same crossings bit for bit.
struct Edge {
    float topX = 0, topY = 0, bottomY = 0, dxdy = 0;
    bool horizontal = true;
};

// floor(value * kOne + 0.5) without a call into libm, which a row would
// pay several times over.
inline std::int64_t fixed(double value) {
    const double scaled = value * kOne + 0.5;
    const auto whole = static_cast<std::int64_t>(scaled);
    return whole - (static_cast<double>(whole) > scaled);
}

// The first pixel centre at or after `value`: ceil(value - 0.5).
inline int firstCentreAtOrAfter(float value) {
    const float shifted = value - 0.5f;
    const int whole = static_cast<int>(shifted);
    return whole + (static_cast<float>(whole) < shifted);
}

Edge edgeOf(const SDL_FPoint& p, const SDL_FPoint& q) {
    const SDL_FPoint& top = (p.y < q.y || (p.y == q.y && p.x < q.x)) ? p : q;
    const SDL_FPoint& bottom = &top == &p ? q : p;
    Edge edge;
    edge.horizontal = top.y == bottom.y;
    if (edge.horizontal) return edge;
    edge.topX = top.x;
    edge.topY = top.y;
    edge.bottomY = bottom.y;
    edge.dxdy = (bottom.x - top.x) / (bottom.y - top.y);
    return edge;
}

// Each channel times its shade (0 to 255) over 255, cut towards zero; red
// and blue side by side in one word, each product within 16 bits.
inline Uint32 modulate(Uint32 texel, Uint32 r, Uint32 g, Uint32 b) {
    auto over255 = [](Uint32 x) { return (x + 0x00010001u + ((x >> 8) & 0x00ff00ffu)) >> 8 & 0x00ff00ffu; };
    Uint32 red = ((texel >> 16) & 0xffu) * r, blue = (texel & 0xffu) * b, green = ((texel >> 8) & 0xffu) * g;
    return (texel & 0xff000000u) | over255(red << 16 | blue) | (over255(green) << 8);
}

// One row of a triangle: `count` pixels from `out`, texture coordinates and
// shades in 16.16 fixed point at the first one and their steps.
template <bool kModulate, bool kClamp>
void fillRow(std::uint32_t* out, int count, const ccPixels32& texture, std::int64_t s, std::int64_t t,
             std::int64_t ds, std::int64_t dt, std::int64_t r, std::int64_t g, std::int64_t b,
             std::int64_t dr, std::int64_t dg, std::int64_t db) {
    const std::uint32_t* texels = texture.pixels;
    const std::int64_t pitch = texture.pitch, lastS = texture.width - 1, lastT = texture.height - 1;
    auto shade = [](std::int64_t value) {
        if constexpr (kClamp) value = std::clamp<std::int64_t>(value, 0, 255 << 16);
        return static_cast<Uint32>(value >> 16);
    };
    for (int i = 0; i < count; ++i) {
        std::int64_t column = s >> 16, row = t >> 16;
        if constexpr (kClamp) {
            column = std::clamp<std::int64_t>(column, 0, lastS);
            row = std::clamp<std::int64_t>(row, 0, lastT);
        }
        Uint32 texel = texels[row * pitch + column];
        if constexpr (kModulate) {
            texel = modulate(texel, shade(r), shade(g), shade(b));
            r += dr;
            g += dg;
            b += db;
        }
        out[i] = texel;
        s += ds;
        t += dt;
    }
}

template <bool kModulate>
void fillRow(std::uint32_t* out, int count, const ccPixels32& texture, std::int64_t s, std::int64_t t,
             std::int64_t ds, std::int64_t dt, std::int64_t r, std::int64_t g, std::int64_t b,
             std::int64_t dr, std::int64_t dg, std::int64_t db) {
    // Values move in a straight line: within range at both ends, within it
    // all along, and the row needs no clamping.
    auto inside = [&](std::int64_t value, std::int64_t step, int size) {
        std::int64_t last = value + step * (count - 1);
        return std::min(value, last) >= 0 && (std::max(value, last) >> 16) < size;
    };
    bool shadesInside = !kModulate || (inside(r, dr, 256) && inside(g, dg, 256) && inside(b, db, 256));
    if (shadesInside && inside(s, ds, texture.width) && inside(t, dt, texture.height))
        fillRow<kModulate, false>(out, count, texture, s, t, ds, dt, r, g, b, dr, dg, db);
    else
        fillRow<kModulate, true>(out, count, texture, s, t, ds, dt, r, g, b, dr, dg, db);
}

} // namespace

void ccFillTexturedTriangle(const ccPixels32& target, const SDL_Rect& clip, const ccPixels32& texture,
                            const SDL_Vertex& givenA, const SDL_Vertex& givenB, const SDL_Vertex& givenC) {
    if (!target.pixels || !texture.pixels || texture.width <= 0 || texture.height <= 0) return;
    SDL_Vertex corners[3] = {givenA, givenB, givenC};
    for (SDL_Vertex& v : corners) {
        // Far outside any target (or not a number): not drawn.
        constexpr float kFarthest = 1 << 24;
        for (float value : {v.position.x, v.position.y, v.tex_coord.x, v.tex_coord.y})
            if (!(std::fabs(value) < kFarthest)) return;
        v.position = {std::trunc(v.position.x), std::trunc(v.position.y)};
        v.tex_coord = {std::trunc(v.tex_coord.x * static_cast<float>(texture.width)),
                       std::trunc(v.tex_coord.y * static_cast<float>(texture.height))};
    }
    const SDL_Vertex &a = corners[0], &b = corners[1], &c = corners[2];
    const double x0 = a.position.x, y0 = a.position.y;
    const double e1x = b.position.x - x0, e1y = b.position.y - y0;
    const double e2x = c.position.x - x0, e2y = c.position.y - y0;
    const double det = e1x * e2y - e2x * e1y;
    if (det == 0.0) return; // no area: no pixel centre can lie inside
    auto plane = [&](double f0, double f1, double f2) {
        double d1 = f1 - f0, d2 = f2 - f0;
        return Plane{(d1 * e2y - d2 * e1y) / det, (d2 * e1x - d1 * e2x) / det, f0};
    };
    const Plane s = plane(a.tex_coord.x, b.tex_coord.x, c.tex_coord.x);
    const Plane t = plane(a.tex_coord.y, b.tex_coord.y, c.tex_coord.y);
    const Plane r = plane(a.color.r, b.color.r, c.color.r);
    const Plane g = plane(a.color.g, b.color.g, c.color.g);
    const Plane bl = plane(a.color.b, b.color.b, c.color.b);
    const bool modulated =
        !(a.color.r == 255 && a.color.g == 255 && a.color.b == 255 && b.color.r == 255 && b.color.g == 255 &&
          b.color.b == 255 && c.color.r == 255 && c.color.g == 255 && c.color.b == 255);

    // Corners lie on whole pixels: each edge covers the rows from its top
    // to its bottom (half-open), so the rows split in two runs, each
    // between the same two edges, and no row has to find its edges.
    const SDL_FPoint* byY[3] = {&a.position, &b.position, &c.position};
    std::sort(std::begin(byY), std::end(byY),
              [](const SDL_FPoint* p, const SDL_FPoint* q) { return p->y < q->y; });
    const Edge longEdge = edgeOf(*byY[0], *byY[2]);
    const Edge upper = edgeOf(*byY[0], *byY[1]), lower = edgeOf(*byY[1], *byY[2]);
    const int clipRight = std::min(clip.x + clip.w, target.width);
    const int clipTop = std::max(clip.y, 0), clipBottom = std::min(clip.y + clip.h, target.height);
    const int columnMin = std::max(clip.x, 0);
    const std::int64_t ds = fixed(s.dx), dt = fixed(t.dx), dr = fixed(r.dx), dg = fixed(g.dx),
                       db = fixed(bl.dx);
    // Plane values in fixed point at each row's column 0, stepped down the
    // rows: a row then finds its first pixel's values with one multiply each.
    const Plane* planes[5] = {&s, &t, &r, &g, &bl};
    const int planeCount = modulated ? 5 : 2;
    const std::int64_t across[5] = {ds, dt, dr, dg, db};
    auto run = [&](const Edge& other, int from, int to) {
        from = std::max(from, clipTop);
        to = std::min(to, clipBottom);
        if (from >= to) return;
        std::int64_t rowStart[5] = {}, down[5] = {};
        for (int k = 0; k < planeCount; ++k) {
            const Plane& p = *planes[k];
            rowStart[k] = fixed(p.at0 + p.dx * (0.5 - x0) + p.dy * (from + 0.5 - y0));
            down[k] = fixed(p.dy);
        }
        for (int y = from; y < to; ++y) {
            // Each crossing as every triangle on the edge works it out.
            const float centreY = static_cast<float>(y) + 0.5f;
            const float x1 = longEdge.topX + (centreY - longEdge.topY) * longEdge.dxdy;
            const float x2 = other.topX + (centreY - other.topY) * other.dxdy;
            const int first = std::max(firstCentreAtOrAfter(std::min(x1, x2)), columnMin);
            const int end = std::min(firstCentreAtOrAfter(std::max(x1, x2)), clipRight);
            if (first < end) {
                std::int64_t at[5] = {};
                for (int k = 0; k < planeCount; ++k)
                    at[k] = rowStart[k] + across[k] * first;
                std::uint32_t* out = target.pixels + static_cast<std::ptrdiff_t>(y) * target.pitch + first;
                if (modulated)
                    fillRow<true>(out, end - first, texture, at[0], at[1], ds, dt, at[2], at[3], at[4], dr,
                                  dg, db);
                else
                    fillRow<false>(out, end - first, texture, at[0], at[1], ds, dt, 0, 0, 0, 0, 0, 0);
            }
            for (int k = 0; k < planeCount; ++k)
                rowStart[k] += down[k];
        }
    };
    const int y0row = static_cast<int>(byY[0]->y), y1row = static_cast<int>(byY[1]->y),
              y2row = static_cast<int>(byY[2]->y);
    if (!upper.horizontal) run(upper, y0row, y1row);
    if (!lower.horizontal) run(lower, y1row, y2row);
}

} // namespace engine
