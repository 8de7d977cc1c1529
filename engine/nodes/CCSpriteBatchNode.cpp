#include "engine/nodes/CCSpriteBatchNode.h"

#include "engine/base/CCLog.h"
#include "engine/nodes/CCSprite.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/CCTextureCache.h"

namespace engine {

CCSpriteBatchNode::CCSpriteBatchNode() = default;
CCSpriteBatchNode::~CCSpriteBatchNode() = default;

CCSpriteBatchNode* CCSpriteBatchNode::create(const char* file, unsigned int capacity) {
    auto* node = new CCSpriteBatchNode();
    return autoreleasedIf(node->initWithFile(file, capacity), node);
}

CCSpriteBatchNode* CCSpriteBatchNode::createWithTexture(CCTexture2D* texture, unsigned int capacity) {
    auto* node = new CCSpriteBatchNode();
    return autoreleasedIf(node->initWithTexture(texture, capacity), node);
}

bool CCSpriteBatchNode::initWithFile(const char* file, unsigned int capacity) {
    if (!file) {
        CCLog("CCSpriteBatchNode::initWithFile: no file given");
        return false;
    }
    return initWithTexture(CCTextureCache::sharedTextureCache()->addImage(file), capacity);
}

bool CCSpriteBatchNode::initWithTexture(CCTexture2D* texture, unsigned int capacity) {
    m_children.reserve(capacity);
    m_texture = texture;
    return true;
}

void CCSpriteBatchNode::addChild(CCNode* child, int zOrder, int tag) {
    if (!child) {
        CCNode::addChild(child, zOrder, tag); // logs the null child as any node does
        return;
    }
    auto* sprite = dynamic_cast<CCSprite*>(child);
    if (!sprite) {
        CCLog("CCSpriteBatchNode::addChild: only sprites can join a sprite batch node; child refused");
        return;
    }
    if (sprite->getTexture() != m_texture) {
        CCLog("CCSpriteBatchNode::addChild: the sprite shows another texture than the batch node's ('%s'); "
              "child refused",
              m_texture ? m_texture->getPath().c_str() : "none");
        return;
    }
    CCNode::addChild(child, zOrder, tag);
}

} // namespace engine
