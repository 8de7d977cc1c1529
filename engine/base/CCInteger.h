#pragma once
#include "engine/base/CCObject.h"

namespace engine {

class CCInteger : public CCObject {
public:
    explicit CCInteger(int value) : m_value(value) {}
    static CCInteger* create(int value) {
        auto* i = new CCInteger(value);
        i->autorelease();
        return i;
    }
    int getValue() const { return m_value; }

private:
    int m_value;
};

class CCDouble : public CCObject {
public:
    explicit CCDouble(double value) : m_value(value) {}
    static CCDouble* create(double value) {
        auto* d = new CCDouble(value);
        d->autorelease();
        return d;
    }
    double getValue() const { return m_value; }

private:
    double m_value;
};

class CCBool : public CCObject {
public:
    explicit CCBool(bool value) : m_value(value) {}
    static CCBool* create(bool value) {
        auto* b = new CCBool(value);
        b->autorelease();
        return b;
    }
    bool getValue() const { return m_value; }

private:
    bool m_value;
};

} // namespace engine
