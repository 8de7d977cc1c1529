#pragma once
#include "engine/base/CCObject.h"

namespace engine {

class CCInteger : public CCObject {
public:
    explicit CCInteger(int value) : m_value(value) {}
    static CCInteger* create(int value) { return autoreleased(new CCInteger(value)); }
    int getValue() const { return m_value; }

private:
    int m_value;
};

class CCDouble : public CCObject {
public:
    explicit CCDouble(double value) : m_value(value) {}
    static CCDouble* create(double value) { return autoreleased(new CCDouble(value)); }
    double getValue() const { return m_value; }

private:
    double m_value;
};

class CCBool : public CCObject {
public:
    explicit CCBool(bool value) : m_value(value) {}
    static CCBool* create(bool value) { return autoreleased(new CCBool(value)); }
    bool getValue() const { return m_value; }

private:
    bool m_value;
};

} // namespace engine
