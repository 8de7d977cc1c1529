#include "engine/base/CCGeometry.h"

#include <algorithm>

namespace engine {

CCRect CCRect::unionWithRect(const CCRect& r) const {
    float minX = std::min(getMinX(), r.getMinX());
    float minY = std::min(getMinY(), r.getMinY());
    float maxX = std::max(getMaxX(), r.getMaxX());
    float maxY = std::max(getMaxY(), r.getMaxY());
    return {minX, minY, maxX - minX, maxY - minY};
}

CCRect CCRect::intersection(const CCRect& r) const {
    float minX = std::max(getMinX(), r.getMinX());
    float minY = std::max(getMinY(), r.getMinY());
    float maxX = std::min(getMaxX(), r.getMaxX());
    float maxY = std::min(getMaxY(), r.getMaxY());
    if (maxX <= minX || maxY <= minY) return CCRectZero;
    return {minX, minY, maxX - minX, maxY - minY};
}

} // namespace engine
