// Textures and the texture cache: loading once, purging, bad image files,
// and textures that outlive the renderer they were first drawn with.
#include "HeadlessView.h"

#include "engine/nodes/CCSprite.h"
#include "engine/render/CCTexture2D.h"

using namespace engine;
using namespace rendertest;

namespace {

class TextureTest : public HeadlessViewTest {
  protected:
    CCTextureCache* cache() { return CCTextureCache::sharedTextureCache(); }
};

TEST_F(TextureTest, CacheLoadsEachFileOnceAndPurgesWhatNothingUses) {
    writePng(m_dir, "pics/a.png", 4, 2, 0xffff0000, 0xff00ff00);
    writePng(m_dir, "b.png", 4, 2, 0xffff0000, 0xff00ff00);
    CCTexture2D* a = cache()->addImage("pics/a.png");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->getPixelsWide(), 4);
    EXPECT_EQ(a->getPixelsHigh(), 2);
    EXPECT_EQ(a->getContentSize(), CCSizeMake(4, 2));
    // Another name of the same file is the same texture.
    EXPECT_EQ(cache()->addImage("./pics/../pics/a.png"), a);
    EXPECT_EQ(cache()->textureForKey("pics/a.png"), a);
    EXPECT_EQ(cache()->getTextureCount(), 1u);

    CCSprite* user = CCSprite::create("b.png");
    user->retain();
    EXPECT_EQ(cache()->getTextureCount(), 2u);
    director()->stepFrame(1 / 60.f); // the autorelease pool lets go
    director()->purgeCachedData();
    // Only the texture a sprite still holds stays.
    EXPECT_EQ(cache()->getTextureCount(), 1u);
    EXPECT_EQ(cache()->textureForKey("pics/a.png"), nullptr);
    EXPECT_EQ(cache()->textureForKey("b.png"), user->getTexture());
    user->release();
    director()->purgeCachedData();
    EXPECT_EQ(cache()->getTextureCount(), 0u);
}

TEST_F(TextureTest, MissingOrBrokenImageGivesAnEmptySpriteAndOneLogLine) {
    m_dir.write("broken.png", "\x89PNG\r\n\x1a\n not really a picture");
    testsupport::LogCapture log;
    CCSprite* missing = CCSprite::create("nowhere.png");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->getTexture(), nullptr);
    EXPECT_EQ(missing->getContentSize(), CCSizeZero);
    EXPECT_EQ(log.count("nowhere.png"), 1);
    EXPECT_EQ(log.lines().size(), 1u);

    log.clear();
    CCSprite* broken = CCSprite::create("broken.png");
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken->getTexture(), nullptr);
    EXPECT_EQ(log.count("broken.png"), 1);
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(cache()->getTextureCount(), 0u);

    // Drawing them is harmless.
    log.clear();
    CCNode* root = CCNode::create();
    root->addChild(missing);
    root->addChild(broken);
    show(root);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(renderer()->getStats().drawCalls, 0);
}

TEST_F(TextureTest, PicturesBeyondTheSizeLimitAreRefusedBeforeDecoding) {
    // Real, decodable files: only the size in their header keeps them out.
    const int limit = CCTexture2D::kMaxImageSide;
    auto save = [&](const std::string& name, int w, int h) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
        SDL_FillRect(surface, nullptr, 0xff336699);
        std::string path = m_dir.write(name, "");
        if (name.ends_with(".png"))
            IMG_SavePNG(surface, path.c_str());
        else
            IMG_SaveJPG(surface, path.c_str(), 90);
        SDL_FreeSurface(surface);
    };
    save("edge.png", limit, 1);
    save("wide.png", limit + 1, 1);
    save("tall.jpg", 1, limit + 1);
    testsupport::LogCapture log;
    EXPECT_NE(cache()->addImage("edge.png"), nullptr);
    for (const char* name : {"wide.png", "tall.jpg"}) {
        EXPECT_EQ(CCSprite::create(name)->getTexture(), nullptr) << name;
        EXPECT_EQ(log.count(name), 1) << name;
    }
    EXPECT_EQ(log.count("beyond the limit of 8192 x 8192"), 2);
    EXPECT_EQ(cache()->getTextureCount(), 1u);
}

TEST_F(TextureTest, RefusedNameIsLoggedOnceByTheFileLayer) {
    testsupport::LogCapture log;
    CCSprite* sprite = CCSprite::create("../outside.png");
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->getTexture(), nullptr);
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.count("outside.png"), 1);
    EXPECT_EQ(CCSprite::create(nullptr), nullptr);
}

TEST_F(TextureTest, TexturesLoadedBeforeTheViewOpensAndAfterItReopensDraw) {
    view()->close();
    writePng(m_dir, "red.png", 16, 16, 0xffff0000, 0xffff0000);
    CCSprite* sprite = CCSprite::create("red.png");
    ASSERT_NE(sprite->getTexture(), nullptr);
    sprite->setPosition(ccp(320, 480));
    sprite->retain();

    ASSERT_TRUE(view()->open());
    show(sprite);
    EXPECT_TRUE(isColour(at(320, 480), 255, 0, 0));

    // A new renderer: the texture is made again for it.
    director()->reset();
    view()->close();
    ASSERT_TRUE(view()->open());
    show(sprite);
    EXPECT_TRUE(isColour(at(320, 480), 255, 0, 0));
    sprite->release();
}

TEST_F(TextureTest, SetTextureShowsTheWholeNewTexture) {
    writePng(m_dir, "wide.png", 40, 10, 0xffff0000, 0xffff0000);
    writePng(m_dir, "tall.png", 10, 30, 0xff00ff00, 0xff00ff00);
    CCSprite* sprite = CCSprite::create("wide.png");
    sprite->setFlipX(true);
    sprite->setTexture(cache()->addImage("tall.png"));
    EXPECT_EQ(sprite->getContentSize(), CCSizeMake(10, 30));
    EXPECT_EQ(sprite->getTextureRect(), CCRectMake(0, 0, 10, 30));
    EXPECT_TRUE(sprite->isFlipX());
    sprite->setTexture(nullptr);
    EXPECT_EQ(sprite->getContentSize(), CCSizeZero);
}

} // namespace
