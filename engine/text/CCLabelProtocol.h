#pragma once
// What every label offers, whatever draws its text: menu items and widgets
// change a label's text without knowing its kind.

namespace engine {

class CCLabelProtocol {
public:
    virtual ~CCLabelProtocol() = default;
    // UTF-8; null is taken as empty.
    virtual void setString(const char* text) = 0;
    virtual const char* getString() const = 0;
};

} // namespace engine
