#include "book/BookFixture.h"

#include "book/BookScene.h"
#include "book/TestController.h"
#include "book/TestLayer1.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCNode.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/platform/HeadlessRun.h"
#include "gui/UIToolkit.h"
#include "gui/UIWidget.h"

#include <cmath>
#include <filesystem>
#include <memory>

using namespace engine;

namespace booktest {

BookFixture::BookFixture() {
    book::resetBookState();
    HeadlessRun::startVirtualTime();
}

BookFixture::~BookFixture() {
    CCDirector::sharedDirector()->reset();
    if (gui::UIToolkit::hasInstance()) gui::UIToolkit::purgeToolkit();
    HeadlessRun::endVirtualTime();
    book::resetBookState();
}

book::TestController* BookFixture::startHome() {
    CCScene* scene = CCScene::create();
    auto* home = new book::TestController();
    scene->addChild(home);
    home->release();
    view.run(scene);
    return home;
}

book::PageLayer* BookFixture::startPage(int page) {
    book::readBookConfiguration(); // as the home page does before any page
    book::currentPage = page;
    book::BookScene* scene = book::BookScene::createOwned();
    auto* layer = new book::TestLayer1();
    scene->addChild(layer);
    layer->release();
    view.run(scene);
    scene->release();
    return layer;
}

CCNode* BookFixture::runningLayer() const {
    CCScene* scene = CCDirector::sharedDirector()->getRunningScene();
    if (!scene || scene->getChildren().empty()) return nullptr;
    return scene->getChildren().front();
}

void BookFixture::tap(const CCPoint& point) {
    testsupport::HeadlessView::touchBegan(point);
    view.step();
    testsupport::HeadlessView::touchEnded(point);
    view.step();
}

int BookFixture::countPixels(const CCRect& area, int r, int g, int b, int tolerance) const {
    int count = 0;
    for (float y = area.origin.y; y < area.origin.y + area.size.height; y += 1)
        for (float x = area.origin.x; x < area.origin.x + area.size.width; x += 1)
            if (testsupport::near(view.at(x, y), r, g, b, tolerance)) ++count;
    return count;
}

void SampleBookFixture::SetUp() {
    std::string root = std::string(LIRRA_SOURCE_DIR) + "/resources";
    if (!std::filesystem::exists(root + "/testLirra/StringConfig.xml")) GTEST_SKIP() << "no sample book";
    engine::CCFileUtils::sharedFileUtils()->setResourceRoot(root); // the view puts its own back
}

engine::CCPoint SampleBookFixture::centre(gui::UIWidget* widget) {
    engine::CCNode* node = widget->getRenderer();
    return node->getParent()->convertToWorldSpace(node->getPosition());
}

} // namespace booktest
