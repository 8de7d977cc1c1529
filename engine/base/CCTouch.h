#pragma once
// One finger (or the mouse, touch 0) in design coordinates.
#include "engine/base/CCGeometry.h"
#include "engine/base/CCObject.h"

namespace engine {

class CCTouch : public CCObject {
public:
    CCTouch() = default;
    static CCTouch* create(int id, float x, float y) {
        auto* touch = new CCTouch();
        touch->setTouchInfo(id, x, y);
        return autoreleased(touch);
    }

    // The first call has no earlier point: its delta is zero.
    void setTouchInfo(int id, float x, float y) {
        m_id = id;
        m_previous = m_started ? m_point : CCPoint(x, y);
        m_point = {x, y};
        m_started = true;
    }
    int getID() const { return m_id; }
    CCPoint getLocation() const { return m_point; }
    CCPoint getDelta() const { return m_point - m_previous; }

private:
    int m_id = 0;
    bool m_started = false;
    CCPoint m_point, m_previous;
};

} // namespace engine
