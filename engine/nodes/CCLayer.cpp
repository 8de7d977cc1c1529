#include "engine/nodes/CCLayer.h"

#include "engine/director/CCDirector.h"
#include "engine/director/CCKeyboardDispatcher.h"
#include "engine/director/CCTouchDispatcher.h"
#include "engine/render/CCSDLRenderer.h"

#include <cmath>

namespace engine {

namespace {
template <class T, class... Args> T* createInitialised(bool (T::*initialise)(Args...), Args... args) {
    auto* object = new T();
    return autoreleasedIf((object->*initialise)(args...), object);
}
} // namespace

// --- CCLayer

CCLayer* CCLayer::create() { return createInitialised<CCLayer>(&CCLayer::init); }

bool CCLayer::init() {
    ignoreAnchorPointForPosition(true);
    setAnchorPoint(ccp(0.5f, 0.5f));
    setContentSize(CCDirector::sharedDirector()->getWinSize());
    return true;
}

void CCLayer::registerWithTouchDispatcher() {
    CCTouchDispatcher* dispatcher = CCDirector::sharedDirector()->getTouchDispatcher();
    if (m_touchMode == kCCTouchesAllAtOnce)
        dispatcher->addStandardDelegate(this, m_touchPriority);
    else
        dispatcher->addTargetedDelegate(this, m_touchPriority, true);
}

void CCLayer::unregisterFromTouchDispatcher() {
    // Ask the dispatcher rather than keep a flag: an override of
    // registerWithTouchDispatcher need not call this class's version.
    CCTouchDispatcher* dispatcher = CCDirector::sharedDirector()->getTouchDispatcher();
    if (dispatcher->hasDelegate(this)) dispatcher->removeDelegate(this);
}

void CCLayer::onEnter() {
    if (m_touchEnabled) registerWithTouchDispatcher();
    // Before the children: keys go to the layer registered last first, and
    // children are drawn over their parent.
    setKeyboardRegistered(m_keyboardEnabled);
    CCNode::onEnter();
}

void CCLayer::onExit() {
    unregisterFromTouchDispatcher();
    setKeyboardRegistered(false);
    CCNode::onExit();
}

void CCLayer::setKeyboardEnabled(bool enabled) {
    m_keyboardEnabled = enabled;
    setKeyboardRegistered(enabled && m_running);
}

void CCLayer::setKeyboardRegistered(bool registered) {
    CCKeyboardDispatcher* keys = CCDirector::sharedDirector()->getKeyboardDispatcher();
    if (registered)
        keys->addDelegate(this);
    else
        keys->removeDelegate(this);
}

void CCLayer::setTouchEnabled(bool enabled) {
    if (m_touchEnabled == enabled) return;
    m_touchEnabled = enabled;
    if (!m_running) return;
    if (enabled)
        registerWithTouchDispatcher();
    else
        unregisterFromTouchDispatcher();
}

void CCLayer::setTouchMode(ccTouchesMode mode) {
    if (m_touchMode == mode) return;
    m_touchMode = mode;
    if (m_touchEnabled && m_running) {
        unregisterFromTouchDispatcher();
        registerWithTouchDispatcher();
    }
}

void CCLayer::setTouchPriority(int priority) {
    if (m_touchPriority == priority) return;
    m_touchPriority = priority;
    if (m_touchEnabled && m_running) {
        unregisterFromTouchDispatcher();
        registerWithTouchDispatcher();
    }
}

// --- CCLayerRGBA

CCLayerRGBA* CCLayerRGBA::create() { return createInitialised<CCLayerRGBA>(&CCLayerRGBA::init); }

bool CCLayerRGBA::init() { return CCLayer::init(); }

// --- CCLayerColor

CCLayerColor* CCLayerColor::create() { return createInitialised<CCLayerColor>(&CCLayerColor::init); }

CCLayerColor* CCLayerColor::create(const ccColor4B& color) {
    CCSize size = CCDirector::sharedDirector()->getWinSize();
    return create(color, size.width, size.height);
}

CCLayerColor* CCLayerColor::create(const ccColor4B& color, float width, float height) {
    auto* layer = new CCLayerColor();
    return autoreleasedIf(layer->initWithColor(color, width, height), layer);
}

bool CCLayerColor::init() { return initWithColor(ccc4(0, 0, 0, 0)); }

bool CCLayerColor::initWithColor(const ccColor4B& color) {
    CCSize size = CCDirector::sharedDirector()->getWinSize();
    return initWithColor(color, size.width, size.height);
}

bool CCLayerColor::initWithColor(const ccColor4B& color, float width, float height) {
    if (!CCLayerRGBA::init()) return false;
    m_realColor = m_displayedColor = ccc3(color.r, color.g, color.b);
    m_realOpacity = m_displayedOpacity = color.a;
    setContentSize(CCSize(width, height));
    return true;
}

void CCLayerColor::draw() {
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) return;
    ccColor4B color{m_displayedColor.r, m_displayedColor.g, m_displayedColor.b, m_displayedOpacity};
    renderer->drawColoredQuad(m_contentSize, m_worldTransform, color);
}

void CCLayerColor::changeWidthAndHeight(float width, float height) { setContentSize(CCSize(width, height)); }

// --- CCLayerGradient

CCLayerGradient* CCLayerGradient::create() { return createInitialised<CCLayerGradient>(&CCLayerGradient::init); }

CCLayerGradient* CCLayerGradient::create(const ccColor4B& start, const ccColor4B& end) {
    return create(start, end, ccp(0, -1));
}

CCLayerGradient* CCLayerGradient::create(const ccColor4B& start, const ccColor4B& end, const CCPoint& vector) {
    auto* layer = new CCLayerGradient();
    return autoreleasedIf(layer->initWithColor(start, end, vector), layer);
}

bool CCLayerGradient::init() { return initWithColor(ccc4(0, 0, 0, 255), ccc4(0, 0, 0, 255), ccp(0, -1)); }

bool CCLayerGradient::initWithColor(const ccColor4B& start, const ccColor4B& end, const CCPoint& vector) {
    if (!CCLayerColor::initWithColor(ccc4(start.r, start.g, start.b, 255))) return false;
    m_endColor = ccc3(end.r, end.g, end.b);
    m_startOpacity = start.a;
    m_endOpacity = end.a;
    m_vector = vector;
    return true;
}

void CCLayerGradient::cornerColors(ccColor4F out[4]) const {
    float opacity = m_displayedOpacity / 255.0f;
    ccColor4F start = {m_displayedColor.r / 255.0f, m_displayedColor.g / 255.0f, m_displayedColor.b / 255.0f,
                       m_startOpacity / 255.0f * opacity};
    ccColor4F end = {m_endColor.r / 255.0f, m_endColor.g / 255.0f, m_endColor.b / 255.0f,
                     m_endOpacity / 255.0f * opacity};
    float length = m_vector.getLength();
    // Corners of the layer in a square from (-1, -1) to (1, 1).
    const CCPoint corners[4] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    if (length == 0.0f) {
        for (int i = 0; i < 4; ++i) out[i] = start;
        return;
    }
    CCPoint direction = m_vector / length;
    // The projection of a corner on the direction ranges over [-reach, reach]:
    // the farthest corner along the vector gets the end colour.
    float reach = m_compressed ? std::fabs(direction.x) + std::fabs(direction.y) : std::sqrt(2.0f);
    for (int i = 0; i < 4; ++i) {
        float t = (corners[i].dot(direction) / reach + 1.0f) * 0.5f;
        out[i] = {start.r + (end.r - start.r) * t, start.g + (end.g - start.g) * t,
                  start.b + (end.b - start.b) * t, start.a + (end.a - start.a) * t};
    }
}

void CCLayerGradient::draw() {
    CCSDLRenderer* renderer = CCSDLRenderer::current();
    if (!renderer) return;
    ccColor4F corners[4];
    cornerColors(corners);
    ccColor4B colors[4];
    for (int i = 0; i < 4; ++i) colors[i] = ccc4BFromccc4F(corners[i]);
    renderer->drawColoredQuad(m_contentSize, m_worldTransform, colors);
}

} // namespace engine
