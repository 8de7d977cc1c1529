// Pixels of drawn scenes: layers, sprites under transforms, colour and
// opacity, gradients, clipping, render targets and batching.
#include "support/PaintedImage.h"
#include "support/SceneTest.h"

#include "engine/nodes/CCLayer.h"
#include "engine/nodes/CCRenderTexture.h"
#include "engine/nodes/CCSprite.h"
#include "engine/render/CCTexture2D.h"
#include "engine/render/CCTextureCache.h"

using namespace engine;
using namespace testsupport;

namespace {

constexpr std::uint32_t kRed = 0xffff0000, kBlue = 0xff0000ff, kWhite = 0xffffffff;

class RenderTest : public SceneTest {
protected:
    // A 64 x 32 image: red left half, blue right half.
    CCSprite* redBlueSprite() {
        writePng(resources(), "rb.png", 64, 32, kRed, kBlue);
        return CCSprite::create("rb.png");
    }
};

TEST_F(RenderTest, ColourLayerFillsTheDesignAreaOnAStretchedFrame) {
    openView(400, 500);
    CCLayer* root = CCLayer::create();
    root->addChild(CCLayerColor::create(ccc4(0, 200, 0, 255)));
    CCLayerColor* quarter = CCLayerColor::create(ccc4(200, 0, 0, 255), 320, 480);
    root->addChild(quarter);
    show(root);
    ASSERT_EQ(screen.width(), 400);
    ASSERT_EQ(screen.height(), 500);
    // Every corner pixel of the frame is covered.
    EXPECT_TRUE(isColour(pixelAt(0, 0), 0, 200, 0));
    EXPECT_TRUE(isColour(pixelAt(399, 0), 0, 200, 0));
    EXPECT_TRUE(isColour(pixelAt(399, 499), 0, 200, 0));
    // The 320 x 480 layer is the lower-left quarter: 200 x 250 pixels.
    EXPECT_TRUE(isColour(pixelAt(0, 499), 200, 0, 0));
    EXPECT_TRUE(isColour(pixelAt(199, 250), 200, 0, 0));
    EXPECT_TRUE(isColour(pixelAt(201, 250), 0, 200, 0));
    EXPECT_TRUE(isColour(pixelAt(199, 248), 0, 200, 0));
}

// Both ways of drawing a quad must put the same picture in the same place.
class SpritePathTest : public RenderTest, public ::testing::WithParamInterface<CCSDLRenderer::QuadPath> {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        renderer()->setQuadPath(GetParam());
    }
};

TEST_P(SpritePathTest, RotatedScaledSpriteLandsWhereItsTransformSays) {
    CCSprite* sprite = redBlueSprite();
    sprite->setPosition(ccp(320, 480));
    sprite->setRotation(90); // clockwise: the image's left (red) half ends up on top
    sprite->setScaleX(2.0f);
    sprite->setScaleY(1.5f);
    show(sprite);
    // 128 points tall along the old x axis, 48 wide along the old y axis.
    EXPECT_TRUE(isColour(at(320, 530), 255, 0, 0));
    EXPECT_TRUE(isColour(at(300, 490), 255, 0, 0));
    EXPECT_TRUE(isColour(at(320, 430), 0, 0, 255));
    EXPECT_TRUE(isColour(at(340, 470), 0, 0, 255));
    EXPECT_TRUE(isColour(at(320, 550), 0, 0, 0));
    EXPECT_TRUE(isColour(at(320, 410), 0, 0, 0));
    EXPECT_TRUE(isColour(at(290, 480), 0, 0, 0));
    EXPECT_TRUE(isColour(at(350, 480), 0, 0, 0));
}

TEST_P(SpritePathTest, ParentTransformsAndFlipsCompose) {
    CCNode* parent = CCNode::create();
    parent->setPosition(ccp(100, 200));
    parent->setScale(2.0f);
    CCSprite* sprite = redBlueSprite();
    sprite->setAnchorPoint(ccp(0, 0));
    sprite->setPosition(ccp(10, 10));
    sprite->setFlipX(true);
    parent->addChild(sprite);
    show(parent);
    // The sprite covers x 120..248, y 220..284; flipped, blue is on the left.
    EXPECT_TRUE(isColour(at(130, 250), 0, 0, 255));
    EXPECT_TRUE(isColour(at(240, 250), 255, 0, 0));
    EXPECT_TRUE(isColour(at(115, 250), 0, 0, 0));
    EXPECT_TRUE(isColour(at(255, 250), 0, 0, 0));
    EXPECT_TRUE(isColour(at(180, 290), 0, 0, 0));
    EXPECT_TRUE(isColour(at(180, 215), 0, 0, 0));
}

TEST_P(SpritePathTest, TextureRectShowsPartOfTheImage) {
    writePng(resources(), "rb.png", 64, 32, kRed, kBlue);
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage("rb.png");
    ASSERT_NE(texture, nullptr);
    CCSprite* sprite = CCSprite::createWithTexture(texture, CCRectMake(32, 0, 32, 32));
    EXPECT_EQ(sprite->getContentSize(), CCSizeMake(32, 32));
    sprite->setPosition(ccp(320, 480));
    sprite->setScale(3.0f);
    show(sprite);
    EXPECT_TRUE(isColour(at(275, 440), 0, 0, 255));
    EXPECT_TRUE(isColour(at(365, 520), 0, 0, 255));
    EXPECT_TRUE(isColour(at(320, 530), 0, 0, 0));
}

TEST_P(SpritePathTest, OpacityAndColourModulate) {
    writePng(resources(), "white.png", 32, 32, kWhite, kWhite);
    CCLayerColor* backdrop = CCLayerColor::create(ccc4(0, 0, 200, 255));
    CCSprite* tinted = CCSprite::create("white.png");
    tinted->setPosition(ccp(100, 100));
    tinted->setColor(ccc3(255, 128, 0));
    CCSprite* faded = CCSprite::create("white.png");
    faded->setPosition(ccp(300, 100));
    faded->setOpacity(128);
    // A half-transparent layer fades its children too when opacity cascades.
    CCLayerRGBA* halfLayer = CCLayerRGBA::create();
    halfLayer->setCascadeOpacityEnabled(true);
    CCSprite* child = CCSprite::create("white.png");
    child->setPosition(ccp(500, 100));
    child->setColor(ccc3(0, 255, 0));
    halfLayer->addChild(child);
    halfLayer->setOpacity(128);
    backdrop->addChild(tinted);
    backdrop->addChild(faded);
    backdrop->addChild(halfLayer);
    show(backdrop);
    EXPECT_TRUE(isColour(at(100, 100), 255, 128, 0));
    EXPECT_TRUE(isColour(at(300, 100), 128, 128, 228, 4));
    EXPECT_TRUE(isColour(at(500, 100), 0, 128, 100, 4));
    EXPECT_TRUE(isColour(at(100, 130), 0, 0, 200));
}

TEST_P(SpritePathTest, RotationUnderAStretchedFrame) {
    // A frame of another shape turns a rotated square into a sheared one:
    // only a mesh draws that, whichever path is preferred.
    openView(400, 500);
    renderer()->setQuadPath(GetParam());
    writePng(resources(), "white.png", 100, 100, kWhite, kWhite);
    CCSprite* sprite = CCSprite::create("white.png");
    sprite->setPosition(ccp(320, 480));
    sprite->setRotation(45);
    show(sprite);
    // The diamond's corners are 70.7 points from the centre along the axes.
    EXPECT_TRUE(isColour(at(320, 480), 255, 255, 255));
    EXPECT_TRUE(isColour(at(320, 540), 255, 255, 255));
    EXPECT_TRUE(isColour(at(380, 480), 255, 255, 255));
    EXPECT_TRUE(isColour(at(370, 530), 0, 0, 0));
    EXPECT_TRUE(isColour(at(320, 560), 0, 0, 0));
    EXPECT_EQ(renderer()->getStats().copies, 0);
}

INSTANTIATE_TEST_SUITE_P(Paths, SpritePathTest,
                         ::testing::Values(CCSDLRenderer::QuadPath::Auto, CCSDLRenderer::QuadPath::Geometry),
                         [](const auto& info) {
                             return info.param == CCSDLRenderer::QuadPath::Auto ? "Auto" : "Geometry";
                         });

TEST_F(RenderTest, GradientFollowsItsVector) {
    CCLayer* root = CCLayer::create();
    // Default vector (0, -1): start colour at the top, end colour at the bottom.
    CCLayerGradient* down = CCLayerGradient::create(ccc4(255, 0, 0, 255), ccc4(0, 0, 255, 255));
    down->changeWidthAndHeight(320, 960);
    CCLayerGradient* right = CCLayerGradient::create(ccc4(255, 0, 0, 255), ccc4(0, 0, 255, 255), ccp(1, 0));
    right->changeWidthAndHeight(320, 960);
    right->setPosition(ccp(320, 0));
    root->addChild(down);
    root->addChild(right);
    show(root);
    EXPECT_TRUE(isColour(at(160, 958), 255, 0, 0, 6));
    EXPECT_TRUE(isColour(at(160, 2), 0, 0, 255, 6));
    EXPECT_TRUE(isColour(at(160, 480), 128, 0, 128, 6));
    EXPECT_TRUE(isColour(at(322, 480), 255, 0, 0, 6));
    EXPECT_TRUE(isColour(at(638, 480), 0, 0, 255, 6));
    EXPECT_TRUE(isColour(at(480, 100), 128, 0, 128, 6));
}

TEST_F(RenderTest, ClipRectanglesIntersectAndPop) {
    // Draws a full-screen colour inside clip rectangles.
    class Clipped : public CCLayerColor {
    public:
        void visit() override {
            CCSDLRenderer* r = CCSDLRenderer::current();
            r->pushClipRect(CCRectMake(100, 100, 200, 200));
            r->pushClipRect(CCRectMake(200, 200, 300, 300)); // leaves 200..300 x 200..300
            CCLayerColor::visit();
            r->popClipRect();
            r->pushClipRect(CCRectMake(400, 400, 10, 10)); // outside the first: nothing
            CCLayerColor::visit();
            r->popClipRect();
            r->popClipRect();
            depthAfter = r->getClipDepth();
        }
        int depthAfter = -1;
    };
    auto* layer = new Clipped();
    layer->initWithColor(ccc4(255, 255, 0, 255));
    layer->autorelease();
    show(layer);
    EXPECT_EQ(layer->depthAfter, 0);
    EXPECT_TRUE(isColour(at(250, 250), 255, 255, 0));
    EXPECT_TRUE(isColour(at(150, 150), 0, 0, 0));
    EXPECT_TRUE(isColour(at(350, 250), 0, 0, 0));
    EXPECT_TRUE(isColour(at(405, 405), 0, 0, 0));
}

TEST_F(RenderTest, RenderTargetHoldsWhatWasDrawnUpright) {
    CCRenderTexture* target = CCRenderTexture::create(100, 100);
    ASSERT_NE(target, nullptr);
    CCLayerColor* corner = CCLayerColor::create(ccc4(255, 0, 0, 255), 50, 50);
    target->beginWithClear(0, 0, 1, 1);
    corner->visit();
    target->end();
    EXPECT_EQ(renderer()->getTargetDepth(), 0);

    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(target->readPixels(pixels, w, h));
    ASSERT_EQ(w, 100);
    ASSERT_EQ(h, 100);
    // Rows run top to bottom: the lower-left quarter is the last rows' start.
    EXPECT_TRUE(isColour(unpack(pixels[99 * 100 + 0]), 255, 0, 0));
    EXPECT_TRUE(isColour(unpack(pixels[60 * 100 + 40]), 255, 0, 0));
    EXPECT_TRUE(isColour(unpack(pixels[40 * 100 + 40]), 0, 0, 255));
    EXPECT_TRUE(isColour(unpack(pixels[99 * 100 + 60]), 0, 0, 255));

    // Shown on screen, centred on its position.
    target->setPosition(ccp(320, 480));
    show(target);
    EXPECT_TRUE(isColour(at(280, 440), 255, 0, 0));
    EXPECT_TRUE(isColour(at(360, 520), 0, 0, 255));
    EXPECT_TRUE(isColour(at(260, 480), 0, 0, 0));
}

TEST_F(RenderTest, RenderTargetUsesTheScreensPixelDensity) {
    openView(1280, 1920);
    CCRenderTexture* target = CCRenderTexture::create(10, 20);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->getTexture()->getPixelsWide(), 20);
    EXPECT_EQ(target->getTexture()->getPixelsHigh(), 40);
    EXPECT_EQ(target->getSprite()->getContentSize(), CCSizeMake(10, 20));
}

TEST_F(RenderTest, QuadsOfOneTextureGoOutAsOneCall) {
    renderer()->setQuadPath(CCSDLRenderer::QuadPath::Geometry);
    writePng(resources(), "a.png", 8, 8, kWhite, kWhite);
    writePng(resources(), "b.png", 8, 8, kRed, kRed);
    CCNode* root = CCNode::create();
    for (int i = 0; i < 10; ++i) {
        CCSprite* sprite = CCSprite::create("a.png");
        sprite->setPosition(ccp(20.f + i * 20, 100));
        sprite->setRotation(i * 10.f);
        root->addChild(sprite);
    }
    show(root);
    EXPECT_EQ(renderer()->getStats().quads, 10);
    EXPECT_EQ(renderer()->getStats().drawCalls, 1);

    // Another texture in between breaks the batch, keeping the drawing order.
    root->addChild(CCSprite::create("b.png"));
    root->addChild(CCSprite::create("a.png"));
    renderer()->resetStats();
    drawFrame();
    EXPECT_EQ(renderer()->getStats().quads, 12);
    EXPECT_EQ(renderer()->getStats().drawCalls, 3);
    EXPECT_EQ(renderer()->getStats().flushes, 3);
    EXPECT_EQ(renderer()->getStats().textureChanges, 2) << "a was the last drawn of the frame before";
}

TEST_F(RenderTest, LargePicturesDrawAsMeshesOnTheSoftwareRenderer) {
    // SDL's software triangle blitter crashes on big textured triangles;
    // the renderer cuts such quads into cells.
    renderer()->setQuadPath(CCSDLRenderer::QuadPath::Geometry);
    writePng(resources(), "big.png", 1000, 1000, kRed, kBlue);
    CCNode* root = CCNode::create();
    for (int flip = 0; flip < 4; ++flip) {
        CCSprite* sprite = CCSprite::create("big.png");
        sprite->setPosition(ccp(320, 480));
        sprite->setScaleX(0.64f);
        sprite->setScaleY(0.96f);
        sprite->setFlipX(flip & 1);
        sprite->setFlipY(flip & 2);
        sprite->setRotation(flip == 3 ? 180.f : 0.f);
        root->addChild(sprite);
    }
    show(root);
    // The last one drawn: flipped both ways and turned half round, upright again.
    EXPECT_TRUE(isColour(at(100, 480), 255, 0, 0));
    EXPECT_TRUE(isColour(at(540, 480), 0, 0, 255));
    EXPECT_EQ(renderer()->getStats().copies, 0);
}

TEST_F(RenderTest, PageSizedMeshesDrawInPiecesOnTheSoftwareRenderer) {
    // Two triangles over the whole view, after a quad of the same picture:
    // one call, cut into pieces small enough for SDL's software blitter.
    class Page : public CCNode {
    public:
        void draw() override {
            CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage("big.png");
            CCSDLRenderer* renderer = CCSDLRenderer::current();
            renderer->drawTexturedQuad(texture, CCRect(0, 0, 10, 10), CCSize(10, 10), m_worldTransform,
                                       {255, 255, 255, 255});
            CCVertex v[4] = {{{0, 0}, {255, 255, 255, 255}, 0, 1},
                             {{640, 0}, {255, 255, 255, 255}, 1, 1},
                             {{0, 960}, {255, 255, 255, 255}, 0, 0},
                             {{640, 960}, {255, 255, 255, 255}, 1, 0}};
            const int indices[6] = {0, 1, 2, 2, 1, 3};
            renderer->drawTriangles(texture, v, 4, indices, 6, m_worldTransform);
        }
    };
    renderer()->setQuadPath(CCSDLRenderer::QuadPath::Geometry);
    writePng(resources(), "big.png", 1000, 1000, kRed, kBlue);
    auto* page = new Page();
    page->autorelease();
    show(page);
    // Every piece shows (SDL mistakes some pairs of pieces for quads).
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(view()->readPixels(pixels, width, height));
    int holes = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((pixels[static_cast<size_t>(y) * width + x] & 0xffffff) == 0) ++holes;
    EXPECT_EQ(holes, 0);
    EXPECT_TRUE(isColour(at(100, 480), 255, 0, 0));
    EXPECT_TRUE(isColour(at(540, 900), 0, 0, 255));
    EXPECT_EQ(renderer()->getStats().drawCalls, 1);
}

TEST_F(RenderTest, SoftwarePathCopiesPlainSprites) {
    ASSERT_TRUE(renderer()->isSoftware());
    CCSprite* sprite = redBlueSprite();
    sprite->setRotation(30);
    sprite->setPosition(ccp(300, 300));
    show(sprite);
    EXPECT_EQ(renderer()->getStats().copies, 1);
}

// The renderer's own copies of pictures come out as SDL's copies do: the
// same screen, pixel for pixel, scaled up, down and not at all, opaque and
// blended over a colour with every degree of see-through; a copy that runs
// off the screen is left to SDL, and so is an unscaled blended one.
TEST_F(RenderTest, OwnCopiesOfPicturesMatchSdlsPixelForPixel) {
    const std::vector<std::uint32_t> colours = {kRed, kBlue, 0xff20c040, 0xfff0f0f0, 0xff101010};
    std::vector<Block> solid, ramp;
    for (int x = 0; x < 53; ++x) {
        const std::uint32_t colour = colours[x % colours.size()];
        solid.push_back({x, 0, 1, 41, colour});
        ramp.push_back({x, 0, 1, 41, (colour & 0xffffff) | static_cast<std::uint32_t>(x * 255 / 52) << 24});
    }
    for (int y = 0; y < 41; y += 3) {
        const std::uint32_t colour = colours[(y / 3) % colours.size()] ^ 0x00ffffff;
        solid.push_back({0, y, 53, 1, colour});
        ramp.push_back({0, y, 53, 1, (colour & 0xffffff) | static_cast<std::uint32_t>(y * 6) << 24});
    }
    writePng(resources(), "solid.png", 53, 41, solid);
    writePng(resources(), "ramp.png", 53, 41, ramp);
    struct Case {
        float scaleX, scaleY, x, y;
        bool onScreen;
    };
    for (const char* file : {"solid.png", "ramp.png"}) {
        CCRef<CCSprite> sprite = CCSprite::create(file); // shown in one scene after another
        ASSERT_TRUE(sprite && sprite->getTexture());
        const bool opaque = sprite->getTexture()->isOpaque();
        EXPECT_EQ(opaque, std::string(file) == "solid.png");
        for (const Case& c :
             {Case{1, 1, 300, 400, true}, Case{1.7f, 2.3f, 320, 480, true}, Case{0.55f, 0.8f, 100, 200, true},
              Case{5.1f, 0.9f, 320, 700, true}, Case{2, 2, 630, 480, false}}) {
            SCOPED_TRACE(testing::Message() << file << " at " << c.scaleX << " x " << c.scaleY);
            sprite->setScaleX(c.scaleX);
            sprite->setScaleY(c.scaleY);
            sprite->setPosition(ccp(c.x, c.y));
            const bool scaled = c.scaleX != 1 || c.scaleY != 1;
            std::vector<std::uint32_t> ours;
            for (bool own : {true, false}) {
                renderer()->setOwnCopies(own);
                director()->reset();
                sprite->removeFromParent();
                CCLayerColor* backdrop = CCLayerColor::create(ccc4(40, 90, 200, 255));
                backdrop->addChild(sprite.get());
                renderer()->resetStats();
                show(backdrop);
                EXPECT_EQ(renderer()->getStats().ownCopies, own && c.onScreen && (opaque || scaled) ? 1 : 0);
                if (!own) {
                    EXPECT_EQ(screen.pixels(), ours);
                }
                ours = screen.pixels();
            }
        }
        sprite->removeFromParent();
    }
}

TEST_F(RenderTest, HiddenAndTexturelessNodesDrawNothing) {
    CCNode* root = CCNode::create();
    CCSprite* hidden = redBlueSprite();
    hidden->setVisible(false);
    root->addChild(hidden);
    root->addChild(CCSprite::create());
    CCLayerColor* clear = CCLayerColor::create(ccc4(255, 0, 0, 0));
    root->addChild(clear);
    show(root);
    EXPECT_EQ(renderer()->getStats().drawCalls, 0);
    EXPECT_TRUE(isColour(at(320, 480), 0, 0, 0));
}

TEST_F(RenderTest, MeshesDrawAndBadIndicesAreRefused) {
    // A mesh drawn by a node: one triangle of a gradient.
    class Triangle : public CCNode {
    public:
        void draw() override {
            CCVertex v[3] = {{{0, 0}, {255, 0, 0, 255}, 0, 0},
                             {{200, 0}, {255, 0, 0, 255}, 0, 0},
                             {{0, 200}, {255, 0, 0, 255}, 0, 0}};
            CCSDLRenderer::current()->drawTriangles(nullptr, v, 3, nullptr, 0, m_worldTransform);
            const int bad[3] = {0, 1, 7};
            CCSDLRenderer::current()->drawTriangles(nullptr, v, 3, bad, 3, m_worldTransform);
        }
    };
    testsupport::LogCapture log;
    auto* triangle = new Triangle();
    triangle->autorelease();
    triangle->setPosition(ccp(100, 100));
    show(triangle);
    EXPECT_TRUE(isColour(at(130, 130), 255, 0, 0));
    EXPECT_TRUE(isColour(at(250, 250), 0, 0, 0));
    EXPECT_EQ(log.count("out of range"), 1);
}

} // namespace
