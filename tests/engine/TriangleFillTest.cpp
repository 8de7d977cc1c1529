// The software renderer's own triangle fill: which pixels a triangle covers,
// which texels land on them and how the corners' shades tint them.
#include "engine/render/ccTriangleFill.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

using namespace engine;

namespace {

struct Buffer {
    Buffer(int w, int h, std::uint32_t fill = 0) : data(static_cast<size_t>(w) * h, fill), w(w), h(h) {}
    ccPixels32 pixels() { return {data.data(), w, w, h}; }
    std::uint32_t at(int x, int y) const { return data[static_cast<size_t>(y) * w + x]; }
    std::vector<std::uint32_t> data;
    int w, h;
};

SDL_Vertex corner(float x, float y, float u, float v, Uint8 shade = 255) {
    return {{x, y}, {shade, shade, shade, 255}, {u, v}};
}

const SDL_Rect kAll{0, 0, 1 << 20, 1 << 20};

} // namespace

TEST(TriangleFillTest, TrianglesSharingAnEdgeCoverEachPixelOnce) {
    Buffer texel(1, 1, 0xffffffffu);
    // A rectangle cut along each diagonal, in both windings and orders.
    const SDL_Vertex tl = corner(3, 2, 0, 0), tr = corner(37, 2, 0, 0), bl = corner(3, 29, 0, 0),
                     br = corner(37, 29, 0, 0);
    const SDL_Vertex halves[][2][3] = {{{tl, tr, br}, {br, bl, tl}},
                                       {{tl, br, tr}, {tl, bl, br}},
                                       {{tr, bl, tl}, {tr, br, bl}},
                                       {{bl, tr, br}, {tl, tr, bl}}};
    for (const auto& pair : halves) {
        Buffer first(48, 40), second(48, 40);
        ccFillTexturedTriangle(first.pixels(), kAll, texel.pixels(), pair[0][0], pair[0][1], pair[0][2]);
        ccFillTexturedTriangle(second.pixels(), kAll, texel.pixels(), pair[1][0], pair[1][1], pair[1][2]);
        int overlaps = 0, wrong = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 48; ++x) {
                bool inside = x >= 3 && x < 37 && y >= 2 && y < 29;
                bool a = first.at(x, y) != 0, b = second.at(x, y) != 0;
                overlaps += a && b;
                wrong += (a || b) != inside;
            }
        }
        EXPECT_EQ(overlaps, 0);
        EXPECT_EQ(wrong, 0) << "pixels covered outside, or left uncovered inside";
    }
}

TEST(TriangleFillTest, TexelsLandOneToOneAndShadesTintThem) {
    Buffer texture(16, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            texture.data[static_cast<size_t>(y) * 16 + x] =
                0xff000000u | (x * 16u) << 16 | (y * 32u) << 8 | 200u;
    Buffer out(20, 12);
    // The texture on pixels (2, 3) to (18, 11), as two triangles.
    const SDL_Vertex tl = corner(2, 3, 0, 0), tr = corner(18, 3, 1, 0), bl = corner(2, 11, 0, 1),
                     br = corner(18, 11, 1, 1);
    ccFillTexturedTriangle(out.pixels(), kAll, texture.pixels(), tl, tr, bl);
    ccFillTexturedTriangle(out.pixels(), kAll, texture.pixels(), tr, br, bl);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(out.at(x + 2, y + 3), texture.data[static_cast<size_t>(y) * 16 + x]) << x << ", " << y;

    // Half shade at every corner: each channel times 128 / 255, cut down;
    // alpha stays.
    Buffer shaded(20, 12);
    const SDL_Vertex dim[4] = {corner(2, 3, 0, 0, 128), corner(18, 3, 1, 0, 128), corner(2, 11, 0, 1, 128),
                               corner(18, 11, 1, 1, 128)};
    ccFillTexturedTriangle(shaded.pixels(), kAll, texture.pixels(), dim[0], dim[1], dim[2]);
    ccFillTexturedTriangle(shaded.pixels(), kAll, texture.pixels(), dim[1], dim[3], dim[2]);
    std::uint32_t texel = texture.at(15, 7), seen = shaded.at(17, 10);
    EXPECT_EQ(seen >> 24, 0xffu);
    EXPECT_EQ((seen >> 16) & 0xff, ((texel >> 16) & 0xff) * 128 / 255);
    EXPECT_EQ((seen >> 8) & 0xff, ((texel >> 8) & 0xff) * 128 / 255);
    EXPECT_EQ(seen & 0xff, 200u * 128 / 255);

    // A shade that runs from 0 at the left to 255 at the right.
    Buffer ramp(20, 12);
    Buffer white(1, 1, 0xffffffffu);
    ccFillTexturedTriangle(ramp.pixels(), kAll, white.pixels(), corner(0, 0, 0, 0, 0),
                           corner(20, 0, 0, 0, 255), corner(0, 12, 0, 0, 0));
    EXPECT_LT(ramp.at(1, 1) & 0xff, ramp.at(10, 1) & 0xff);
    EXPECT_NEAR(static_cast<int>(ramp.at(10, 1) & 0xff), 255 * 10.5 / 20, 2);
}

TEST(TriangleFillTest, StaysWithinTheClipAndTheTargetAndSkipsWhatCannotBeDrawn) {
    Buffer texel(1, 1, 0xffffffffu);
    Buffer out(30, 30);
    // Far beyond the target on every side: only the target's pixels are written.
    ccFillTexturedTriangle(out.pixels(), SDL_Rect{5, 6, 10, 12}, texel.pixels(), corner(-1e6f, -1e6f, 0, 0),
                           corner(1e6f, -1e6f, 0, 0), corner(0, 1e6f, 0, 0));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(out.at(x, y) != 0, x >= 5 && x < 15 && y >= 6 && y < 18) << x << ", " << y;

    Buffer none(30, 30);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    ccFillTexturedTriangle(none.pixels(), kAll, texel.pixels(), corner(nan, 0, 0, 0), corner(20, 0, 0, 0),
                           corner(0, 20, 0, 0));
    ccFillTexturedTriangle(none.pixels(), kAll, texel.pixels(), corner(0, 0, inf, 0), corner(20, 0, 0, 0),
                           corner(0, 20, 0, 0));
    ccFillTexturedTriangle(none.pixels(), kAll, texel.pixels(), corner(0, 0, 0, 0), corner(10, 10, 0, 0),
                           corner(20, 20, 0, 0)); // no area
    for (std::uint32_t pixel : none.data)
        ASSERT_EQ(pixel, 0u);

    // Texture coordinates past the edge take the edge's texels.
    Buffer two(2, 1);
    two.data = {0xff0000ffu, 0xffff0000u};
    Buffer wide(10, 4);
    ccFillTexturedTriangle(wide.pixels(), kAll, two.pixels(), corner(0, 0, -3, 0), corner(10, 0, 4, 0),
                           corner(0, 10, -3, 1));
    EXPECT_EQ(wide.at(0, 0), 0xff0000ffu);
    EXPECT_EQ(wide.at(8, 0), 0xffff0000u);
}
