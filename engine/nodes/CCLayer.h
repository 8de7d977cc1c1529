#pragma once
// Layers: full-screen nodes that can take touches and key presses; colour
// and gradient layers fill their rectangle.
#include "engine/director/CCKeyboardDelegate.h"
#include "engine/director/CCTouchDelegate.h"
#include "engine/nodes/CCNodeRGBA.h"

namespace engine {

enum ccTouchesMode { kCCTouchesAllAtOnce = 0, kCCTouchesOneByOne = 1 };

class CCLayer : public CCNode, public CCTouchDelegate, public CCKeyboardDelegate {
public:
    static CCLayer* create();
    bool init() override;

    void onEnter() override;
    void onExit() override;

    // Registration with the touch dispatcher follows these while running.
    virtual void setTouchEnabled(bool enabled);
    bool isTouchEnabled() const { return m_touchEnabled; }
    virtual void setTouchMode(ccTouchesMode mode);
    ccTouchesMode getTouchMode() const { return m_touchMode; }
    virtual void setTouchPriority(int priority);
    int getTouchPriority() const { return m_touchPriority; }
    // One-at-a-time layers claim the touches they answer true for.
    virtual void registerWithTouchDispatcher();

    // While enabled and running, the layer's keyPressed (CCKeyboardDelegate)
    // receives key presses, real and scripted alike.
    virtual void setKeyboardEnabled(bool enabled);
    bool isKeyboardEnabled() const { return m_keyboardEnabled; }

protected:
    void unregisterFromTouchDispatcher();

    bool m_touchEnabled = false;
    ccTouchesMode m_touchMode = kCCTouchesAllAtOnce;
    int m_touchPriority = 0;
    bool m_keyboardEnabled = false;

private:
    void setKeyboardRegistered(bool registered);
};

// A layer with colour and opacity (see CCRGBAMixin for the cascading rules).
class CCLayerRGBA : public CCRGBAMixin<CCLayer> {
public:
    static CCLayerRGBA* create();
    bool init() override;
};

// Fills its content rectangle with one colour.
class CCLayerColor : public CCLayerRGBA {
public:
    static CCLayerColor* create();
    static CCLayerColor* create(const ccColor4B& color);
    static CCLayerColor* create(const ccColor4B& color, float width, float height);
    virtual bool initWithColor(const ccColor4B& color, float width, float height);
    bool initWithColor(const ccColor4B& color);
    bool init() override;

    void changeWidthAndHeight(float width, float height);

    void draw() override;
};

// Fills its content rectangle with a linear gradient from the start colour
// to the end colour along `vector` (default: top to bottom).
class CCLayerGradient : public CCLayerColor {
public:
    static CCLayerGradient* create();
    static CCLayerGradient* create(const ccColor4B& start, const ccColor4B& end);
    static CCLayerGradient* create(const ccColor4B& start, const ccColor4B& end, const CCPoint& vector);
    bool initWithColor(const ccColor4B& start, const ccColor4B& end, const CCPoint& vector);
    using CCLayerColor::initWithColor;
    bool init() override;

    void setStartColor(const ccColor3B& color) { setColor(color); }
    const ccColor3B& getStartColor() const { return m_realColor; }
    void setEndColor(const ccColor3B& color) { m_endColor = color; }
    const ccColor3B& getEndColor() const { return m_endColor; }
    void setVector(const CCPoint& vector) { m_vector = vector; }
    const CCPoint& getVector() const { return m_vector; }
    // Compressed: the full range of colours is reached at the corners even
    // for a diagonal vector.
    void setCompressedInterpolation(bool compressed) { m_compressed = compressed; }
    bool isCompressedInterpolation() const { return m_compressed; }

    // Colours at the corners: lower left, lower right, upper left, upper right.
    void cornerColors(ccColor4F out[4]) const;

    void draw() override;

private:
    ccColor3B m_endColor = ccBLACK;
    GLubyte m_startOpacity = 255;
    GLubyte m_endOpacity = 255;
    CCPoint m_vector{0, -1};
    bool m_compressed = true;
};

} // namespace engine
