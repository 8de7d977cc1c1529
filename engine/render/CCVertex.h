#pragma once
// A mesh vertex for CCSDLRenderer::drawTriangles: a position in points, a
// colour that modulates the texture (or is the colour, without texture) and
// texture coordinates from 0 to 1 across the whole texture, v down from the
// top row.
#include "engine/base/CCGeometry.h"
#include "engine/base/ccTypes.h"

namespace engine {

struct CCVertex {
    CCPoint position;
    ccColor4B color{255, 255, 255, 255};
    float u = 0.0f, v = 0.0f;
};

} // namespace engine
