#pragma once
// Textured triangles filled straight into 32-bit pixels, for the software
// renderer: SDL's generic triangle fill works out each pixel's weights anew
// and goes through an intermediate surface, while a triangle of a mesh is an
// affine map, so a fill that walks rows of the destination and steps texture
// coordinates and shading along each row does the same work many times
// faster.
//
// What it draws: the texels nearest to each pixel centre, modulated by the
// colour interpolated from the corners, copied without blending (for opaque
// textures). A pixel is covered when its centre lies inside the triangle;
// on an edge it belongs to the triangle on the edge's right, and on a
// horizontal edge to the one below it (rows half-open upwards), so triangles
// that share an edge neither overlap nor leave a seam, whatever their order
// and winding.
#include <SDL.h>

#include <cstdint>

namespace engine {

// 32-bit pixels of a surface or a copy of one, `pitch` in pixels.
struct ccPixels32 {
    std::uint32_t* pixels = nullptr;
    int pitch = 0;
    int width = 0, height = 0;
};

// Fills the triangle (positions in pixels of `target`, texture coordinates
// from 0 to 1 over `texture`) within `clip` (itself within the target).
// Pixels keep their channel order: the texel's alpha byte is written as it is.
void ccFillTexturedTriangle(const ccPixels32& target, const SDL_Rect& clip, const ccPixels32& texture,
                            const SDL_Vertex& a, const SDL_Vertex& b, const SDL_Vertex& c);

} // namespace engine
