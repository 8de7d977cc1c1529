#pragma once
// A parent for sprites that all show one texture (usually a sprite sheet's).
// It draws nothing itself: the renderer already sends consecutive quads of
// one texture to SDL as one call, so visiting the children in order batches
// them. Its job is to keep the children honest: a child that is not a
// sprite of its texture is refused with a log line.
#include "engine/nodes/CCNode.h"

namespace engine {

class CCTexture2D;

class CCSpriteBatchNode : public CCNode {
public:
    ~CCSpriteBatchNode() override;

    // The capacity is a hint kept for callers written against it.
    static CCSpriteBatchNode* create(const char* file, unsigned int capacity = kDefaultCapacity);
    static CCSpriteBatchNode* createWithTexture(CCTexture2D* texture,
                                                unsigned int capacity = kDefaultCapacity);

    // False only when no file is named; a file that cannot be loaded leaves a
    // batch node without texture (the texture cache logs it), which takes
    // only sprites without texture.
    bool initWithFile(const char* file, unsigned int capacity = kDefaultCapacity);
    bool initWithTexture(CCTexture2D* texture, unsigned int capacity = kDefaultCapacity);

    CCTexture2D* getTexture() const { return m_texture.get(); }

    void addChild(CCNode* child, int zOrder, int tag) override;
    using CCNode::addChild;

    static constexpr unsigned int kDefaultCapacity = 29;

private:
    CCSpriteBatchNode(); // out of line: the texture's type is complete there

    CCRef<CCTexture2D> m_texture;
};

} // namespace engine
