#include "book/PageLayer.h"

#include "book/BookContract.h"
#include "book/BookNames.h"
#include "book/BookState.h"
#include "book/FocusRing.h"
#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/CCLog.h"
#include "engine/menu/CCMenu.h"
#include "engine/menu/CCMenuItemFont.h"
#include "engine/menu/CCMenuItemImage.h"
#include "engine/nodes/CCSprite.h"
#include "engine/platform/CCClock.h"
#include "engine/text/CCLabelTTF.h"
#include "frame/ScreenFrame.h"
#include "gui/Layout.h"
#include "gui/LayoutReader.h"
#include "gui/UIButton.h"
#include "gui/UILayer.h"
#include "gui/UIRootWidget.h"
#include "gui/UIToolkit.h"

#include <algorithm>
#include <cmath>

using namespace engine;
using frame::ScreenFrame;

namespace book {

namespace {
// Over the hint label and everything else on the page.
constexpr int kFocusRingZOrder = 20000;
// Hotspots of this page keep the pictures of their layout file under ispep.
constexpr int kPageWithOwnHotspotPictures = 198;

// An arrow that cannot turn the page shows faded, as the page menu's buttons do.
constexpr GLubyte kUnavailableOpacity = 90;

void showUnavailable(CCMenuItemSprite* item) {
    for (CCNode* image : {item->getNormalImage(), item->getSelectedImage()})
        if (auto* sprite = dynamic_cast<CCSprite*>(image)) sprite->setOpacity(kUnavailableOpacity);
}

constexpr unsigned int kTextItemFontSize = 45;

// `place`, moved in just far enough that `item` and the keyboard's ring
// around it lie inside the visible area.
CCPoint insideWithRing(CCNode* item, CCPoint place) {
    const CCRect visible = ScreenFrame::visibleRect();
    const CCSize size = item->getContentSize();
    const CCPoint anchor = item->getAnchorPoint();
    const float reach = FocusRing::kReach;
    place.x = std::max(place.x, visible.getMinX() + reach + size.width * anchor.x);
    place.x = std::min(place.x, visible.getMaxX() - reach - size.width * (1 - anchor.x));
    place.y = std::max(place.y, visible.getMinY() + reach + size.height * anchor.y);
    place.y = std::min(place.y, visible.getMaxY() - reach - size.height * (1 - anchor.y));
    return place;
}

float visibleWidth() {
    return ScreenFrame::right().x - ScreenFrame::left().x;
}

// Whether `node` lies in the node tree under `root`.
bool isNodeUnder(const CCNode* node, const CCNode* root) {
    for (const CCNode* n = node; n; n = n->getParent())
        if (n == root) return true;
    return false;
}

// Whether `widget` lies in the tree under `root`.
bool isUnder(const gui::UIWidget* widget, const gui::UIWidget* root) {
    for (const gui::UIWidget* w = widget; w; w = w->getParent())
        if (w == root) return true;
    return false;
}
} // namespace

PageLayer::PageLayer(int sceneNumber) : m_sceneNumber(sceneNumber) {}

// --- construction: the page build

void PageLayer::buildPage() {
    CCLayer::init();
    lastTouch = CCPointZero;
    std::string pageName = bookDir + "/" + subName;

    SimpleAudioEngine* audio = SimpleAudioEngine::sharedEngine();
    audio->setBackgroundMusicVolume(1.0f);
    audio->stopBackgroundMusic();

    tapCount = 0;
    tapRadius = static_cast<float>(std::fabs(static_cast<double>(visibleWidth()) / 30.0));

    uiLayer = gui::UILayer::create();

    std::string settingsText = readInterfaceText(interfaceText::kSettings).value_or("");
    std::string homeText = readInterfaceText(interfaceText::kHome).value_or("");
    std::string hintText = readInterfaceText(interfaceText::kHint).value_or("");

    buildHintLabel(hintText);
    addChild(uiLayer);
    buildMenu(homeText, settingsText);

    if (m_sceneNumber == 1) CCLog("-----------page_name----- %s -------------- !", pageName.c_str());
    readPageLayout();
    buildBubble();
    bindHotspots();
    loadReadAlong();
    buildFocusRing();
    nextWordIndex = 1;
    startAutoPlayIfOn();

    selectedWord = nullptr;
    setTouchEnabled(true);
    setKeyboardEnabled(true);
    schedule(schedule_selector(PageLayer::bubbleWatch), 1.0f);
}

void PageLayer::buildHintLabel(const std::string& hintText) {
    wordLabel = nullptr;
    hintLabel = CCLabelTTF::create(hintText.c_str(), "Arial", 22);
    hintLabel->setDimensions(CCSize(visibleWidth() * 0.25f, 0));
    hintLabel->setHorizontalAlignment(kCCTextAlignmentCenter);
    float height = ScreenFrame::top().y - ScreenFrame::bottom().y;
    hintLabel->setPosition(ccp(ScreenFrame::center().x, ScreenFrame::bottom().y + height / 24));
    hintLabel->setColor(ccc3(0, 0, 255));
    hintLabel->setVisible(false);
    addChild(hintLabel, 10000);
}

void PageLayer::buildMenu(const std::string& homeText, const std::string& settingsText) {
    m_previousItem = CCMenuItemImage::create(controlImage::kPrevious, controlImage::kPreviousPressed, this,
                                             menu_selector(PageLayer::goPreviousPage));
    m_playItem = CCMenuItemImage::create(controlImage::kPlay, controlImage::kPause, this,
                                         menu_selector(PageLayer::togglePlay));
    m_nextItem = CCMenuItemImage::create(controlImage::kNext, controlImage::kNextPressed, this,
                                         menu_selector(PageLayer::goNextPage));
    m_homeItem = CCMenuItemFont::create(homeText.c_str(), this, menu_selector(PageLayer::goHome));
    m_settingsItem =
        CCMenuItemFont::create(settingsText.c_str(), this, menu_selector(PageLayer::openSettings));
    // Each item's own size: the class-wide one would reach only items made
    // later, so the first page's items would be smaller than the others'.
    for (CCMenuItemFont* item : {m_homeItem, m_settingsItem}) {
        item->setFontSizeObj(kTextItemFontSize);
        item->setColor(ccc3(0, 0, 255));
    }

    m_menu = CCMenu::create(m_previousItem, m_playItem, m_nextItem, m_homeItem, m_settingsItem);
    m_menu->setPosition(CCPointZero);
    CCSize play = m_playItem->getContentSize();
    CCPoint left = ScreenFrame::left(), right = ScreenFrame::right();
    CCPoint bottom = ScreenFrame::bottom(), center = ScreenFrame::center();
    m_settingsItem->setPosition(ccp(right.x - 60, bottom.y + 30));
    m_homeItem->setPosition(insideWithRing(m_homeItem, ccp(left.x + 60, bottom.y + 30)));
    m_previousItem->setPosition(ccp(center.x - play.width / 2, bottom.y + play.height / 2 + 6));
    m_playItem->setPosition(ccp(right.x - 60, bottom.y + 40));
    m_nextItem->setPosition(ccp(center.x + play.width / 2, bottom.y + play.height / 2 + 6));
    addChild(m_menu, 3);
    if (currentPage <= pageMin) showUnavailable(m_previousItem);
    if (currentPage >= pageMax) showUnavailable(m_nextItem);
    m_settingsItem->setVisible(false);
    if (readingMode == kReadByTouch) m_playItem->setVisible(false);
}

void PageLayer::readPageLayout() {
    std::string path = pageLayoutPath(bookDir, subName, currentPage);
    gui::UIToolkit::getInstance();
    gui::UIWidget* root = gui::LayoutReader::instance()->readLayoutFile(path);
    pageLayout = dynamic_cast<gui::Layout*>(root);
    if (pageLayout) {
        uiLayer->addWidget(pageLayout);
    } else if (root) {
        CCLog("book: the root of %s is a %s, not a Layout; page %d shows its menu only", path.c_str(),
              root->getKindName(), currentPage);
    } else {
        CCLog("book: page %d has no layout %s; it shows its menu only", currentPage, path.c_str());
    }
}

void PageLayer::buildBubble() {
    wordBubble = gui::UIButton::create();
    wordBubble->setTouchEnabled(false);
    wordBubble->setNineSliceEnabled(true);
    wordBubble->loadNormalTexture(controlImage::kBubble);
    wordBubble->loadPressedTexture(controlImage::kBubble);
    wordBubble->loadDisabledTexture("");
    wordBubble->setPosition(ccp(ScreenFrame::center().x, ScreenFrame::top().y));
    wordBubble->setSize(CCSize(150, wordBubble->getContentSize().height * 1.5f));
    wordBubble->setVisible(false);
    // A page without its layout still keeps its bubble in a tree, so that the
    // shared reference stays valid while the page is on screen.
    gui::UIWidget* parent = pageLayout ? static_cast<gui::UIWidget*>(pageLayout)
                                       : static_cast<gui::UIWidget*>(uiLayer->getRootWidget());
    parent->addChild(wordBubble);
}

void PageLayer::bindHotspots() {
    // A page without words must not keep the count of the page before, or
    // auto-play would read words that are not there.
    lastWordIndex = 0;
    gui::UIWidget* root = uiLayer->getRootWidget();
    for (int i = 1; i <= kLastHotspotIndex; ++i) {
        if (!root) continue;
        gui::UIWidget* hotspot = gui::UIToolkit::findWidgetByName(root, hotspotName(currentPage, i));
        if (!hotspot) continue;
        if (ispep && currentPage != kPageWithOwnHotspotPictures) {
            if (auto* button = dynamic_cast<gui::UIButton*>(hotspot)) {
                button->setOpacity(255);
                button->loadNormalTexture(controlImage::kHotspot);
                button->loadPressedTexture(controlImage::kHotspotPressed);
            } else {
                CCLog("book: hotspot %s of page %d is a %s, not a button; it keeps its picture",
                      hotspot->getName().c_str(), currentPage, hotspot->getKindName());
            }
        }
        hotspot->setVisible(false);
        hotspot->setTouchEventHandler(this, &PageLayer::onWordTouched);
        hotspot->setActionTag(hotspotTag(currentPage, i));
        lastWordIndex = i;
    }
}

void PageLayer::buildFocusRing() {
    std::vector<FocusRing::Target> words, items;
    gui::UIWidget* root = uiLayer->getRootWidget();
    for (int i = 1; root && i <= lastWordIndex; ++i) {
        gui::UIWidget* hotspot = gui::UIToolkit::findWidgetByName(root, hotspotName(currentPage, i));
        if (!hotspot) continue;
        words.push_back({[hotspot] { return widgetBounds(hotspot); },
                         [this, hotspot] { onWordTouched(hotspot, gui::TOUCH_EVENT_BEGAN); }});
    }
    for (CCMenuItem* item : {static_cast<CCMenuItem*>(m_previousItem), static_cast<CCMenuItem*>(m_playItem),
                             static_cast<CCMenuItem*>(m_nextItem), static_cast<CCMenuItem*>(m_homeItem)}) {
        if (!item->isVisible()) continue;
        items.push_back({[item] { return nodeBounds(item); }, [item] { item->activate(); }});
    }
    std::vector<FocusRing::Target> targets = inReadingOrder(std::move(words));
    for (auto& item : inReadingOrder(std::move(items)))
        targets.push_back(std::move(item));
    m_focusRing = FocusRing::create();
    addChild(m_focusRing, kFocusRingZOrder);
    m_focusRing->setTargets(std::move(targets));
}

void PageLayer::startAutoPlayIfOn() {
    if (autoPlayOn && readingMode == kAutoPlayTurnsPages) {
        if (m_sceneNumber == 1) {
            CCLog("Scene 1: auto-play goes on at page %d", currentPage);
            unscheduleAllSelectors();
        }
        schedule(schedule_selector(PageLayer::autoPlayStep), 0.2f);
        m_playItem->setNormalImage(CCSprite::create(controlImage::kPause));
    } else {
        autoPlayOn = false;
        m_playItem->setNormalImage(CCSprite::create(controlImage::kPlay));
        unscheduleAllSelectors();
    }
}

// --- enter and exit

void PageLayer::onEnter() {
    CCLayer::onEnter();
    CCLog("Scene %d onEnter", m_sceneNumber);
}

void PageLayer::onEnterTransitionDidFinish() {
    CCLayer::onEnterTransitionDidFinish();
    if (m_shownSince < 0) m_shownSince = CCClock::now();
    CCLog("Scene %d: onEnterTransitionDidFinish", m_sceneNumber);
}

void PageLayer::onExitTransitionDidStart() {
    CCLayer::onExitTransitionDidStart();
    CCLog("Scene %d: onExitTransitionDidStart", m_sceneNumber);
}

void PageLayer::onExit() {
    CCLayer::onExit();
    unschedule(schedule_selector(PageLayer::bubbleWatch));
    // The shared references of this page go with it; those of a page that
    // has already been built in its place stay (a label forgotten here would
    // stay on the new page for good).
    if (wordLabel && isNodeUnder(wordLabel, this)) wordLabel = nullptr;
    gui::UIWidget* root = uiLayer ? uiLayer->getRootWidget() : nullptr;
    if (selectedWord && isUnder(selectedWord, root)) selectedWord = nullptr;
    if (wordBubble && isUnder(wordBubble, root)) wordBubble = nullptr;
    if (hintLabel && hintLabel->getParent() == this) hintLabel = nullptr;
    CCLog("Scene %d onExit", m_sceneNumber);
}

} // namespace book
