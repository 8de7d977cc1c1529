#include "book/MenuLayerMainMenu.h"

#include "book/BookState.h"
#include "book/FocusRing.h"
#include "book/PictureCache.h"
#include "book/PictureMaker.h"
#include "book/ScreenChanges.h"
#include "book/TestScene.h"
#include "engine/actions/CCEaseElasticOut.h"
#include "engine/actions/CCMoveBy.h"
#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/menu/CCMenu.h"
#include "engine/menu/CCMenuItemLabel.h"
#include "engine/nodes/CCSprite.h"
#include "engine/platform/BookArchive.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/render/CCTexture2D.h"
#include "engine/text/CCLabelTTF.h"
#include "frame/ScreenFrame.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace engine;
using frame::ScreenFrame;

namespace book {

namespace {

const ccColor3B kUnavailable = {145, 145, 145};

} // namespace

MenuLayerMainMenu::MenuLayerMainMenu() {
    CCLayer::init();
    // The first opening starts at the first page of the book as configured then.
    if (!menuStateSet) {
        menuFirstPage = menuNextPage = menuPreviousFirstPage = pageMin;
        menuOnLastScreen = false;
        menuStateSet = true;
    }
    m_pageMenu = CCMenu::create();
    std::vector<CCNode*> items = addSquares();
    m_squareCount = static_cast<int>(items.size());
    addScreenButtons(items);
    m_pageMenu->setContentSize(ScreenFrame::visibleRect().size);
    flyIn(items);
    m_items = items;
    m_pageMenu->setPosition(CCPointZero);
    addChild(m_pageMenu);
    setKeyboardEnabled(true);
    showPagePictures();
}

void MenuLayerMainMenu::showPagePictures() {
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    const std::string book =
        files->resourceArchive() ? files->resourceArchive()->path() : files->getResourceRoot();
    if (m_pictureKey.empty()) m_pictureKey = pictures::keyOf(book).value_or("");
    if (m_pictureKey.empty() || m_squares.empty()) return;
    if (!pictures::hasPages(m_pictureKey)) {
        pictures::PictureMaker& maker = pictures::PictureMaker::shared();
        if (maker.program().empty() || pictures::failure(m_pictureKey)) return;
        maker.request(book, true);
        // A timer, not a per-frame update: a still window sleeps through those.
        schedule(schedule_selector(MenuLayerMainMenu::pollPictures), 0.05f);
        return;
    }
    // The picture above, the number below it: the square keeps its place,
    // size and touch area.
    for (const Square& square : m_squares) {
        CCTexture2D* texture = pictures::load(pictures::pageFile(m_pictureKey, square.page));
        if (!texture) continue;
        const float side = square.square->getContentSize().width;
        const float high = side * 0.66f, wide = high * 2 / 3;
        CCSprite* picture = CCSprite::createWithTexture(texture);
        picture->setScaleX(wide / texture->getContentSize().width);
        picture->setScaleY(high / texture->getContentSize().height);
        picture->setPosition(CCPoint(side / 2, side - 5 - high / 2));
        square.square->addChild(picture);
        const float room = side - 5 - high;
        const CCSize number = square.number->getContentSize();
        const float fit = std::min(room / number.height, side * kNumberShareOfSquare / number.width);
        if (fit < square.number->getScale()) square.number->setScale(fit);
        square.number->setPosition(CCPoint(side / 2, room / 2));
    }
    m_picturesShown = true;
}

void MenuLayerMainMenu::pollPictures(float) {
    pictures::PictureMaker& maker = pictures::PictureMaker::shared();
    maker.poll();
    if (!m_picturesShown && pictures::hasPages(m_pictureKey)) showPagePictures();
    // Until the child has ended (when it failed, logged, the squares keep their numbers).
    if (!maker.busy()) unschedule(schedule_selector(MenuLayerMainMenu::pollPictures));
}

std::vector<CCNode*> MenuLayerMainMenu::addSquares() {
    const CCPoint top = ScreenFrame::top(), bottom = ScreenFrame::bottom();
    const float w = ScreenFrame::right().x - ScreenFrame::left().x;
    std::vector<CCNode*> squares;
    int count = 0;
    while (menuFirstPage + count <= pageMax) {
        const int page = menuFirstPage + count;
        const int row = count / kColumns, column = count % kColumns;
        const float y = static_cast<float>(top.y - double(w) * (row + 0.7) * 0.25);
        if (w * 0.25f > y - bottom.y) break; // the screen is full

        const float side = w * 0.25f * 8 / 9;
        CCLayerColor* square = CCLayerColor::create(ccc4(255, 0, 0, 255), side, side);
        square->setAnchorPoint(CCPoint(0.5f, 0.5f));
        char number[16];
        std::snprintf(number, sizeof number, "%d ", page);
        CCLabelTTF* label = CCLabelTTF::create(number, "Arial", 60);
        label->setColor(ccc3(255, 255, 0));
        label->setPosition(CCPoint(square->getContentSize().width / 2, square->getContentSize().height / 2));
        // Long numbers (six digits) take smaller type rather than run into the next square.
        const float room = side * kNumberShareOfSquare, wide = label->getContentSize().width;
        if (wide > room) label->setScale(room / wide);
        square->addChild(label);
        m_squares.push_back({square, label, page});

        CCMenuItemLabel* item =
            CCMenuItemLabel::create(square, this, menu_selector(MenuLayerMainMenu::pagePicked));
        m_pageMenu->addChild(item, kSquareZOrder + count);
        item->setPosition(CCPoint(w * 0.125f * (2 * column + 1), y));
        squares.push_back(item);
        ++count;
    }
    menuNextPage = menuFirstPage + count;
    menuOnLastScreen = menuNextPage > pageMax;
    CCLog("page menu: pages %d to %d", menuFirstPage, menuNextPage - 1);
    return squares;
}

void MenuLayerMainMenu::addScreenButtons(std::vector<CCNode*>& items) {
    const CCPoint center = ScreenFrame::center();
    const float u = (ScreenFrame::right().x - ScreenFrame::left().x) * 0.125f;
    m_previousButton = makeButton(readInterfaceText(interfaceText::kPreviousPages).value_or(""), u * 2.4f, u);
    CCMenuItemLabel* previous =
        CCMenuItemLabel::create(m_previousButton, this, menu_selector(MenuLayerMainMenu::previousScreen));
    previous->setPosition(CCPoint(static_cast<float>(center.x - double(u) * 2.4), u * 0.5f));
    m_pageMenu->addChild(previous, 0);

    m_nextButton = makeButton(readInterfaceText(interfaceText::kNextPages).value_or(""), u * 2.4f, u);
    CCMenuItemLabel* next =
        CCMenuItemLabel::create(m_nextButton, this, menu_selector(MenuLayerMainMenu::nextScreen));
    next->setPosition(CCPoint(static_cast<float>(center.x + double(u) * 2.4), u * 0.5f));
    m_pageMenu->addChild(next, 0);

    if (menuOnLastScreen) m_nextButton->setColor(kUnavailable);
    if (menuFirstPage <= pageMin) m_previousButton->setColor(kUnavailable);
    items.push_back(previous);
    items.push_back(next);
}

void MenuLayerMainMenu::flyIn(const std::vector<CCNode*>& items) {
    // Even ones from the left, odd ones from the right, in the order the
    // items were added (squares, previous, next): the menu keeps its
    // children by z-order, where the buttons (z 0) come before the squares.
    const CCSize win = CCDirector::sharedDirector()->getWinSize();
    const int distance = static_cast<int>(win.width * 0.5 + 50);
    int index = 0;
    for (CCNode* child : items) {
        const int offset = index % 2 == 0 ? -distance : distance;
        child->setPosition(CCPoint(child->getPositionX() + offset, child->getPositionY()));
        child->runAction(CCEaseElasticOut::create(CCMoveBy::create(2.0f, CCPoint(-offset, 0)), 0.35f));
        ++index;
    }
}

MenuLayerMainMenu::~MenuLayerMainMenu() = default;

CCLayerColor* MenuLayerMainMenu::makeButton(const std::string& text, float width, float height) {
    CCLabelTTF* label = CCLabelTTF::create(text.c_str(), "Arial", 40);
    CCLayerColor* button = CCLayerColor::create(ccc4(250, 243, 242, 199), width, height);
    button->setAnchorPoint(CCPoint(0.5f, 0.5f));
    label->setPosition(CCPoint(button->getContentSize().width / 2, button->getContentSize().height / 2));
    label->setColor(ccc3(9, 0, 1));
    button->addChild(label);
    return button;
}

void MenuLayerMainMenu::pagePicked(CCObject* sender) {
    auto* item = dynamic_cast<CCNode*>(sender);
    if (!item) return;
    const int page = item->getZOrder() - kSquareZOrder + menuFirstPage;
    currentPage = page;
    resumeAvailable = true;
    screens::page();
}

void MenuLayerMainMenu::nextScreen(CCObject*) {
    if (menuNextPage > pageMax) return;
    menuPreviousFirstPage = menuFirstPage;
    menuFirstPage = menuNextPage;
    screens::pageMenu();
}

void MenuLayerMainMenu::previousScreen(CCObject*) {
    if (menuFirstPage <= pageMin) return;
    menuFirstPage = menuOnLastScreen ? menuPreviousFirstPage : 2 * menuFirstPage - menuNextPage;
    screens::pageMenu();
}

bool MenuLayerMainMenu::keyPressed(int key) {
    if (m_focusRing && moveAmongSquares(key)) return true;
    if (m_focusRing && m_focusRing->handleKey(key)) return true;
    if (key == kKeyRight) {
        nextScreen(nullptr);
    } else if (key == kKeyLeft) {
        previousScreen(nullptr);
    } else if (key == kKeyEscape) {
        screens::home();
    } else {
        return false;
    }
    return true;
}

bool MenuLayerMainMenu::moveAmongSquares(int key) {
    const int at = m_focusRing->getFocusedIndex();
    if (at < 0 || at >= m_squareCount) return false;
    int to = at;
    if (key == kKeyRight)
        to = at + 1;
    else if (key == kKeyLeft)
        to = at - 1;
    else if (key == kKeyDown)
        to = at + kColumns;
    else if (key == kKeyUp)
        to = at - kColumns;
    else
        return false;
    if (to >= 0 && to < m_squareCount) m_focusRing->focus(to);
    return true;
}

void MenuLayerMainMenu::onEnterTransitionDidFinish() {
    CCLayer::onEnterTransitionDidFinish();
    if (m_focusRing) return;
    std::vector<FocusRing::Target> targets;
    for (CCNode* node : m_items) {
        auto* item = dynamic_cast<CCMenuItem*>(node);
        if (item) targets.push_back({[item] { return nodeBounds(item); }, [item] { item->activate(); }});
    }
    if (auto* scene = dynamic_cast<TestScene*>(getParent()); scene && scene->getHomeItem()) {
        CCMenuItem* home = scene->getHomeItem();
        targets.push_back({[home] { return nodeBounds(home); }, [home] { home->activate(); }});
    }
    m_focusRing = FocusRing::create();
    addChild(m_focusRing, 1);
    m_focusRing->setTargets(std::move(targets));
}

} // namespace book
