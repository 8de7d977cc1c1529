#pragma once
// The visible rectangle of the design area and named points on its edges,
// read from the view once, on first use, and cached for the process's life.
#include "engine/base/CCGeometry.h"

namespace frame {

class ScreenFrame {
public:
    static engine::CCRect visibleRect();
    static engine::CCPoint left();
    static engine::CCPoint right();
    static engine::CCPoint top();
    static engine::CCPoint bottom();
    static engine::CCPoint center();

private:
    static void fillIfEmpty();
};

} // namespace frame
