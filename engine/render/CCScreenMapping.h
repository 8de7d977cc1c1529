#pragma once
// Where design points land on an output's pixels. Design space has y up from
// the bottom-left corner; pixels have y down from the top-left corner.
#include "engine/base/CCGeometry.h"

namespace engine {

struct CCScreenMapping {
    float scaleX = 1.0f, scaleY = 1.0f;   // output pixels per design point
    float offsetX = 0.0f, offsetY = 0.0f; // pixel of the design area's top-left corner
    float designHeight = 0.0f;            // in points

    CCPoint toPixel(const CCPoint& p) const {
        return {offsetX + p.x * scaleX, offsetY + (designHeight - p.y) * scaleY};
    }
    CCPoint toDesign(const CCPoint& pixel) const {
        return {(pixel.x - offsetX) / scaleX, designHeight - (pixel.y - offsetY) / scaleY};
    }
};

} // namespace engine
