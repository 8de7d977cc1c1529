// Textures and the texture cache: loading once, purging, bad image files,
// and textures that outlive the renderer they were first drawn with.
#include "support/PaintedImage.h"
#include "support/SceneTest.h"

#include "engine/nodes/CCScene.h"
#include "engine/nodes/CCSprite.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCSDLRenderer.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/CCTextureCache.h"
#include "engine/transitions/CCTransitionPageTurn.h"

#include <SDL_image.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

using namespace engine;
using namespace testsupport;

namespace {

class TextureTest : public SceneTest {
protected:
    CCTextureCache* cache() { return CCTextureCache::sharedTextureCache(); }
};

TEST_F(TextureTest, CacheLoadsEachFileOnceAndPurgesWhatNothingUses) {
    writePng(resources(), "pics/a.png", 4, 2, 0xffff0000, 0xff00ff00);
    writePng(resources(), "b.png", 4, 2, 0xffff0000, 0xff00ff00);
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

// A book read through holds the pages on screen, not every page it showed.
TEST_F(TextureTest, PicturesOnlyTheSceneLeftUsedGoWhenTheChangeEnds) {
    writePng(resources(), "left.png", 4, 4, 0xffff0000, 0xffff0000);
    writePng(resources(), "both.png", 4, 4, 0xff00ff00, 0xff00ff00);
    writePng(resources(), "next.png", 4, 4, 0xff0000ff, 0xff0000ff);
    auto sceneOf = [](std::initializer_list<const char*> files) {
        CCScene* scene = CCScene::create();
        for (const char* file : files)
            scene->addChild(CCSprite::create(file));
        return scene;
    };
    director()->runWithScene(sceneOf({"left.png", "both.png"}));
    director()->stepFrame(1 / 60.f);
    director()->replaceScene(CCTransitionPageTurn::create(0.2f, sceneOf({"both.png", "next.png"}), false));
    for (int frame = 0; frame < 3; ++frame)
        director()->stepFrame(1 / 60.f);
    // Mid-turn both scenes are drawn: nothing goes.
    EXPECT_NE(cache()->textureForKey("left.png"), nullptr);
    for (int frame = 0; frame < 30 && director()->getRunningScene()->isTransition(); ++frame)
        director()->stepFrame(1 / 60.f);
    ASSERT_FALSE(director()->getRunningScene()->isTransition());
    EXPECT_EQ(cache()->textureForKey("left.png"), nullptr);
    EXPECT_NE(cache()->textureForKey("both.png"), nullptr);
    EXPECT_NE(cache()->textureForKey("next.png"), nullptr);
    EXPECT_EQ(cache()->getTextureCount(), 2u);
}

// The reader's own PNG and JPEG decoding against SDL_image's, on every kind
// of PNG that picture tools write (palettes with and without transparency,
// grey, 16 bits a channel, interlaced) and on colour and grey JPEGs.
TEST_F(TextureTest, EveryKindOfPictureDecodesAsSdlImageDecodesIt) {
    const std::string dir = resources().path();
    const std::string source = dir + "/source.png";
    // Colours, a ramp of see-through and a few fully clear pixels.
    ASSERT_EQ(std::system(("convert -size 23x17 gradient:red-blue \\( -size 23x17 gradient:white-gray20 \\) "
                           "-alpha off -compose copy-opacity -composite -fill none -draw 'point 3,4' '" +
                           source + "'")
                              .c_str()),
              0);
    const std::map<std::string, std::string> kinds = {
        {"palette", "-alpha off PNG8:"},
        {"palette-clear", "PNG8:"},
        {"grey", "-alpha off -colorspace gray -define png:color-type=0 PNG:"},
        {"grey-2bit", "-alpha off -colorspace gray -depth 2 -define png:color-type=0 PNG:"},
        {"grey-alpha", "-colorspace gray -define png:color-type=4 PNG:"},
        {"rgb", "-alpha off PNG24:"},
        {"rgba", "PNG32:"},
        {"rgb16", "-alpha off PNG48:"},
        {"rgba16", "PNG64:"},
        {"interlaced", "-interlace PNG PNG32:"},
        {"jpeg", "-alpha off -quality 90 JPG:"},
        {"jpeg-grey", "-alpha off -colorspace gray JPG:"},
    };
    for (const auto& [kind, how] : kinds) {
        SCOPED_TRACE(kind);
        const std::string file = dir + "/" + kind + ".png";
        const auto space = how.rfind(' ');
        const std::string options = space == std::string::npos ? "" : how.substr(0, space);
        const std::string format = space == std::string::npos ? how : how.substr(space + 1);
        ASSERT_EQ(std::system(("convert '" + source + "' " + options + " '" + format + file + "'").c_str()),
                  0);
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        CCRef<CCTexture2D> ours = CCTexture2D::createWithImageData(bytes);
        ASSERT_TRUE(ours);
        SDL_Surface* loaded = IMG_Load(file.c_str());
        ASSERT_NE(loaded, nullptr);
        SDL_Surface* theirs = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(loaded);
        const SDL_Surface* mine = ours->getSurface();
        ASSERT_TRUE(mine && theirs);
        ASSERT_EQ(mine->w, theirs->w);
        ASSERT_EQ(mine->h, theirs->h);
        bool anyClear = false;
        int differing = 0;
        for (int y = 0; y < mine->h; ++y)
            for (int x = 0; x < mine->w; ++x) {
                auto at = [x, y](const SDL_Surface* s) {
                    return static_cast<const std::uint32_t*>(s->pixels)[y * s->pitch / 4 + x];
                };
                differing += at(mine) != at(theirs);
                anyClear = anyClear || (at(theirs) >> 24) != 0xff;
            }
        EXPECT_EQ(differing, 0);
        // Only a picture without any see-through pixel is drawn unblended.
        EXPECT_EQ(ours->isOpaque(), !anyClear);
        SDL_FreeSurface(theirs);
    }

    // SDL_image shows a CMYK JPEG's inks as colours; ours come out as the
    // colours of the same picture saved as RGB, give or take the loss of
    // two conversions.
    auto decoded = [&](const std::string& options) {
        const std::string file = dir + "/ink.jpg";
        EXPECT_EQ(
            std::system(
                ("convert '" + source + "' -alpha off " + options + " -quality 95 '" + file + "'").c_str()),
            0);
        std::ifstream in(file, std::ios::binary);
        return CCRef<CCTexture2D>(CCTexture2D::createWithImageData(
            {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}));
    };
    CCRef<CCTexture2D> cmyk = decoded("-colorspace CMYK"), rgb = decoded("");
    ASSERT_TRUE(cmyk && rgb && cmyk->getSurface() && rgb->getSurface());
    const SDL_Surface* inks = cmyk->getSurface();
    const SDL_Surface* colours = rgb->getSurface();
    long difference = 0;
    for (int i = 0; i < inks->w * inks->h; ++i) {
        const std::uint32_t a = static_cast<const std::uint32_t*>(inks->pixels)[i];
        const std::uint32_t b = static_cast<const std::uint32_t*>(colours->pixels)[i];
        for (int shift : {0, 8, 16})
            difference +=
                std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff));
        EXPECT_EQ(a >> 24, 0xffu);
    }
    EXPECT_LT(difference / (inks->w * inks->h * 3), 6);
}

TEST_F(TextureTest, MissingOrBrokenImageGivesAnEmptySpriteAndOneLogLine) {
    resources().write("broken.png", "\x89PNG\r\n\x1a\n not really a picture");
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
        std::string path = resources().write(name, "");
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
    writePng(resources(), "red.png", 16, 16, 0xffff0000, 0xffff0000);
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

// SDL's texture holds a picture's pixels; the decoded copy goes, and the
// file's bytes make it again for a new renderer.
TEST_F(TextureTest, APictureIsHeldOnceAndDecodedAgainForANewRenderer) {
    writePng(resources(), "rb.png", 16, 16, 0xffff0000, 0xff0000ff);
    CCTexture2D* texture = cache()->addImage("rb.png");
    ASSERT_NE(texture, nullptr);
    EXPECT_NE(texture->getSurface(), nullptr); // nothing holds it yet
    CCSprite* sprite = CCSprite::createWithTexture(texture);
    sprite->setPosition(ccp(320, 480));
    sprite->retain();
    show(sprite);
    EXPECT_EQ(texture->getSurface(), nullptr);
    EXPECT_TRUE(isColour(at(316, 480), 255, 0, 0));
    EXPECT_TRUE(isColour(at(324, 480), 0, 0, 255));

    // The file itself is gone: the bytes kept are what counts.
    resources().write("rb.png", "");
    director()->reset();
    view()->close();
    ASSERT_TRUE(view()->open());
    show(sprite);
    EXPECT_EQ(texture->getSurface(), nullptr);
    EXPECT_TRUE(isColour(at(316, 480), 255, 0, 0));
    EXPECT_TRUE(isColour(at(324, 480), 0, 0, 255));
    sprite->release();
}

TEST_F(TextureTest, ARenderTargetMadeAgainForANewRendererHasNewContent) {
    CCTexture2D* target = CCTexture2D::createRenderTarget(8, 8, CCSizeMake(8, 8));
    target->retain();
    ASSERT_NE(target->sdlTexture(*CCSDLRenderer::current()), nullptr);
    const std::uint64_t drawn = target->contentId();
    ASSERT_NE(target->sdlTexture(*CCSDLRenderer::current()), nullptr);
    EXPECT_EQ(target->contentId(), drawn) << "the same renderer keeps the target's pixels";
    // A new renderer makes the target again, empty: a frame showing it differs.
    director()->reset();
    view()->close();
    ASSERT_TRUE(view()->open());
    ASSERT_NE(target->sdlTexture(*CCSDLRenderer::current()), nullptr);
    EXPECT_NE(target->contentId(), drawn);
    // A reset loses every target's pixels, not a picture's.
    writePng(resources(), "p.png", 2, 2, 0xff000000, 0xff000000);
    CCTexture2D* picture = cache()->addImage("p.png");
    ASSERT_NE(picture, nullptr);
    const std::uint64_t afterNewRenderer = target->contentId(), pictureId = picture->contentId();
    CCTexture2D::targetsLost();
    EXPECT_NE(target->contentId(), afterNewRenderer);
    EXPECT_EQ(picture->contentId(), pictureId);
    target->release();
}

TEST_F(TextureTest, SetTextureShowsTheWholeNewTexture) {
    writePng(resources(), "wide.png", 40, 10, 0xffff0000, 0xffff0000);
    writePng(resources(), "tall.png", 10, 30, 0xff00ff00, 0xff00ff00);
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

TEST_F(TextureTest, FormatsOtherThanPngAndJpegAreRefusedUndecoded) {
    // A few bytes each, claiming 16000 x 16000 pixels (about 1 GB decoded),
    // all of which SDL_image would decode.
    resources().write("huge.gif",
                      std::string("GIF89a\x80\x3e\x80\x3e\x00\x00\x00", 13) +
                          std::string("\x2c\0\0\0\0\x80\x3e\x80\x3e\0\x02\x02\x44\x01\0\x3b", 16));
    resources().write("huge.qoi", std::string("qoif\0\0\x3e\x80\0\0\x3e\x80\x04\x00", 14) +
                                      std::string("\0\0\0\0\0\0\0\x01", 8));
    resources().write("huge.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='16000' height='16000'>"
                                  "<rect width='16000' height='16000' fill='red'/></svg>");
    // Another format under a .png name is refused for what it is.
    resources().write("disguised.png", std::string("GIF89a\x01\0\x01\0\0\0\0", 13));
    testsupport::LogCapture log;
    for (const char* name : {"huge.gif", "huge.qoi", "huge.svg", "disguised.png"}) {
        EXPECT_EQ(cache()->addImage(name), nullptr) << name;
        EXPECT_EQ(log.count(name), 1) << name;
    }
    EXPECT_EQ(log.count("is GIF, not a PNG or JPEG picture"), 2);
    EXPECT_EQ(log.count("is QOI, not a PNG or JPEG picture"), 1);
    EXPECT_EQ(log.count("is SVG, not a PNG or JPEG picture"), 1);
    EXPECT_EQ(cache()->getTextureCount(), 0u);
}

TEST_F(TextureTest, PicturesCutShortInTheirSignatureAreRefusedByName) {
    // A header shorter than the signatures it might start: each is one named
    // refusal, not an exception out of the header reader.
    const std::pair<const char*, std::string> pictures[] = {
        {"riff4.png", "RIFF"},
        {"riff7.png", std::string("RIFF\0\0\0", 7)},
        {"riff11.png", "RIFF1234WEB"},
        {"one.png", "R"},
        {"empty.png", ""},
        {"signature.png", std::string("\x89PNG\r\n\x1a\n\0\0", 10)},
    };
    testsupport::LogCapture log;
    for (const auto& [name, bytes] : pictures) {
        resources().write(name, bytes);
        EXPECT_EQ(cache()->addImage(name), nullptr) << name;
        EXPECT_EQ(log.count(name), 1) << name;
    }
    EXPECT_EQ(log.count("is an unknown format, not a PNG or JPEG picture"), 5);
    EXPECT_EQ(log.count("reading it failed"), 0);
}

// Opaque pictures (no alpha, or alpha all 255) are copied without blending,
// which the software renderer does several times faster; a picture with one
// see-through pixel, or an opaque one drawn faded, still blends.
TEST_F(TextureTest, OnlyPicturesWithoutSeeThroughPixelsDrawWithoutBlending) {
    writePng(resources(), "opaque.png", 8, 8, 0xffff0000, 0xff0000ff);
    writePng(resources(), "one-pixel.png", 8, 8, {{0, 0, 8, 8, 0xffff0000}, {7, 7, 1, 1, 0xfeff0000}});
    SDL_Surface* rgb = SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 24, SDL_PIXELFORMAT_RGB24);
    SDL_FillRect(rgb, nullptr, SDL_MapRGB(rgb->format, 30, 60, 90));
    std::string jpeg = resources().write("photo.jpg", "");
    ASSERT_EQ(IMG_SaveJPG(rgb, jpeg.c_str(), 90), 0);
    SDL_FreeSurface(rgb);

    auto blendMode = [this](CCTexture2D* texture) {
        SDL_BlendMode mode = SDL_BLENDMODE_INVALID;
        SDL_GetTextureBlendMode(texture->sdlTexture(*renderer()), &mode);
        return mode;
    };
    CCTexture2D* opaque = cache()->addImage("opaque.png");
    CCTexture2D* photo = cache()->addImage("photo.jpg");
    CCTexture2D* seeThrough = cache()->addImage("one-pixel.png");
    ASSERT_TRUE(opaque && photo && seeThrough);
    opaque->retain();
    EXPECT_TRUE(opaque->isOpaque());
    EXPECT_TRUE(photo->isOpaque());
    EXPECT_FALSE(seeThrough->isOpaque());
    EXPECT_EQ(blendMode(opaque), SDL_BLENDMODE_NONE);
    EXPECT_EQ(blendMode(photo), SDL_BLENDMODE_NONE);
    EXPECT_EQ(blendMode(seeThrough), SDL_BLENDMODE_BLEND);

    // Faded, then whole again, through both ways of drawing a quad.
    CCSprite* sprite = CCSprite::createWithTexture(opaque);
    sprite->setPosition(ccp(320, 480));
    show(sprite);
    for (auto path : {CCSDLRenderer::QuadPath::Auto, CCSDLRenderer::QuadPath::Geometry}) {
        renderer()->setQuadPath(path);
        sprite->setOpacity(100);
        drawFrame();
        EXPECT_EQ(blendMode(opaque), SDL_BLENDMODE_BLEND);
        EXPECT_TRUE(isColour(at(318, 480), 100, 0, 0, 4));
        sprite->setOpacity(255);
        drawFrame();
        EXPECT_EQ(blendMode(opaque), SDL_BLENDMODE_NONE);
        EXPECT_TRUE(isColour(at(318, 480), 255, 0, 0));
    }
    opaque->release();
}

TEST_F(TextureTest, JpegCutShortIsRefusedAndWholeJpegLoads) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 64, 64, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(surface, nullptr, 0xff336699);
    std::string whole = resources().write("whole.jpg", "");
    ASSERT_EQ(IMG_SaveJPG(surface, whole.c_str(), 90), 0);
    SDL_FreeSurface(surface);
    std::string bytes = *CCFileUtils::sharedFileUtils()->getFileData("whole.jpg");
    resources().write("cut.jpg", bytes.substr(0, bytes.size() * 2 / 3));
    // Only the end-of-image marker missing.
    resources().write("no-end.jpg", bytes.substr(0, bytes.size() - 2));
    // Bytes after the end do no harm.
    resources().write("trailing.jpg", bytes + "trailing bytes");

    testsupport::LogCapture log;
    EXPECT_NE(cache()->addImage("whole.jpg"), nullptr);
    EXPECT_NE(cache()->addImage("trailing.jpg"), nullptr);
    EXPECT_TRUE(log.lines().empty());
    for (const char* name : {"cut.jpg", "no-end.jpg"}) {
        EXPECT_EQ(cache()->addImage(name), nullptr) << name;
        EXPECT_EQ(log.count(std::string(name) + " ("), 1) << name;
    }
    EXPECT_EQ(log.count("the JPEG is cut short"), 2);
}

TEST_F(TextureTest, PngWhoseChunkRunsPastTheEndIsRefused) {
    writePng(resources(), "whole.png", 16, 16, 0xffff0000, 0xff00ff00);
    std::string bytes = *CCFileUtils::sharedFileUtils()->getFileData("whole.png");
    // The chunk after the header claims 11 MB more than there is: the decoder
    // is never told that its reads ran out, and could read on for good.
    std::string past = bytes;
    past[34] = '\xB1';
    resources().write("past.png", past);
    resources().write("cut.png", bytes.substr(0, bytes.size() - 6));
    // A byte of the compressed pixels changed: the chunk's CRC tells, even
    // though zlib's own checksum is not checked.
    std::string damaged = bytes;
    const size_t pixels = damaged.find("IDAT");
    ASSERT_NE(pixels, std::string::npos);
    damaged[pixels + 6] = static_cast<char>(damaged[pixels + 6] ^ 0x40);
    resources().write("damaged.png", damaged);

    testsupport::LogCapture log;
    EXPECT_NE(cache()->addImage("whole.png"), nullptr);
    for (const char* name : {"past.png", "cut.png", "damaged.png"})
        EXPECT_EQ(cache()->addImage(name), nullptr) << name;
    EXPECT_EQ(log.count("the PNG is cut short"), 2);
    EXPECT_EQ(log.count("damaged.png"), 1);
    EXPECT_EQ(log.lines().size(), 3u);
}

TEST_F(TextureTest, DecodedPicturesStayWithinTheBudget) {
    EXPECT_EQ(cache()->getPixelBudget(), 512ull * 1024 * 1024);
    const std::uint64_t previousBudget = cache()->getPixelBudget();
    // Room for two 32 x 32 pictures (4 KB each) and not a third.
    cache()->setPixelBudget(2 * 32 * 32 * 4);
    for (const char* name : {"a.png", "b.png", "c.png"})
        writePng(resources(), name, 32, 32, 0xffff0000, 0xff00ff00);
    CCSprite* a = CCSprite::create("a.png");
    CCSprite* b = CCSprite::create("b.png");
    a->retain();
    b->retain();
    ASSERT_NE(b->getTexture(), nullptr);
    EXPECT_EQ(cache()->getPixelBytes(), 2u * 32 * 32 * 4);

    testsupport::LogCapture log;
    EXPECT_EQ(cache()->addImage("c.png"), nullptr);
    EXPECT_EQ(log.count("refusing image file c.png"), 1);
    EXPECT_EQ(log.count("beyond the budget of"), 1);
    // A picture that nothing uses any more makes room.
    b->release();
    director()->stepFrame(1 / 60.f); // the autorelease pool lets go
    EXPECT_NE(cache()->addImage("c.png"), nullptr);
    EXPECT_EQ(cache()->textureForKey("b.png"), nullptr);
    EXPECT_EQ(cache()->getPixelBytes(), 2u * 32 * 32 * 4);
    a->release();
    cache()->removeAllTextures();
    EXPECT_EQ(cache()->getPixelBytes(), 0u);
    cache()->setPixelBudget(previousBudget);
}
