#include "book/ShelfLayer.h"

#include "book/BookState.h"
#include "book/FocusRing.h"
#include "book/PictureCache.h"
#include "book/PictureMaker.h"
#include "book/Shelf.h"
#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCKeyCodes.h"
#include "engine/nodes/CCSprite.h"
#include "engine/render/CCTexture2D.h"
#include "engine/text/CCLabelTTF.h"
#include "gui/Layout.h"
#include "gui/UILayer.h"
#include "gui/UIScrollView.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

using namespace engine;

namespace book {

namespace {

constexpr float kScreenWidth = 640;
constexpr float kScreenHeight = 960;
constexpr float kColumnWidth = kScreenWidth / ShelfLayer::kColumns;
constexpr float kTitleHeight = 56;
// Rows within this many screen heights of the view keep their pictures.
constexpr float kKeepReach = 1.0f;
constexpr float kBuildReach = 0.5f;
constexpr int kPressedShadeTag = 7;
// How often a still shelf looks for covers made meanwhile.
constexpr float kPollSeconds = 0.05f;

const ccColor4B kShelfColour = {250, 243, 230, 255};
const ccColor4B kWaitingColour = {214, 210, 222, 255};
const ccColor4B kPlainColour = {236, 222, 196, 255};
const ccColor3B kTitleColour = {40, 30, 30};

std::string fileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

} // namespace

ShelfLayer::ShelfLayer() {
    CCLayer::init();
    m_uiLayer = gui::UILayer::create();
    m_uiLayer->scheduleUpdate();
    addChild(m_uiLayer);
    buildCovers();

    // The count of covers made sits on a strip of its own along the bottom,
    // over the titles it would otherwise run into.
    m_progressBar =
        CCLayerColor::create(ccc4(kShelfColour.r, kShelfColour.g, kShelfColour.b, 235), kScreenWidth, 48);
    m_progress = CCLabelTTF::create("", "Arial", 28);
    m_progress->setColor(kTitleColour);
    m_progress->setPosition(CCPoint(kScreenWidth / 2, 24));
    m_progressBar->addChild(m_progress);
    m_progressBar->setVisible(false);
    addChild(m_progressBar, 2);

    std::vector<FocusRing::Target> targets;
    for (size_t i = 0; i < m_covers.size(); ++i) {
        gui::UIWidget* widget = m_covers[i].widget;
        const int index = static_cast<int>(i);
        targets.push_back({[widget] { return widgetBounds(widget); }, [this, index] { open(index); }, false});
    }
    m_focusRing = FocusRing::create();
    addChild(m_focusRing, 3);
    m_focusRing->setTargets(std::move(targets));

    const shelf::ShelfPlace& place = shelf::place();
    if (place.scrolled > 0) scrollCovers(place.scrolled);
    if (place.ringShown && place.focused >= 0 && place.focused < coverCount()) {
        m_focusRing->focus(place.focused);
        scrollToShow(place.focused);
    }
    refreshLooks();
    fillNearView();
    showProgress();
    setKeyboardEnabled(true);
    scheduleUpdate();
    // A still window sleeps between events and timers, per-frame updates
    // included: a timer wakes it to collect the covers as they are made.
    if (pictures::PictureMaker::shared().busy())
        schedule(schedule_selector(ShelfLayer::pollPictures), kPollSeconds);
    CCLog("shelf: %d books, %d covers to make", coverCount(), m_toMake);
}

ShelfLayer::~ShelfLayer() = default;

void ShelfLayer::buildCovers() {
    const std::vector<ShelfBook>& books = shelf::books();
    const int rows = (static_cast<int>(books.size()) + kColumns - 1) / kColumns;
    const float innerHeight = std::max(kScreenHeight, kTopMargin + rows * kRowHeight);

    gui::Layout* root = gui::Layout::create();
    root->setSize(CCSize(kScreenWidth, kScreenHeight));
    root->setBackgroundColorType(gui::LAYOUT_COLOR_SOLID);
    root->setBackgroundColor(ccc3(kShelfColour.r, kShelfColour.g, kShelfColour.b));
    m_scroll = gui::UIScrollView::create();
    m_scroll->setDirection(gui::SCROLLVIEW_DIR_VERTICAL);
    m_scroll->setSize(CCSize(kScreenWidth, kScreenHeight));
    m_scroll->setInnerContainerSize(CCSize(kScreenWidth, innerHeight));
    m_scroll->setTouchEnabled(true);
    root->addChild(m_scroll);

    pictures::PictureMaker& maker = pictures::PictureMaker::shared();
    m_covers.reserve(books.size());
    for (size_t i = 0; i < books.size(); ++i) {
        const int row = static_cast<int>(i) / kColumns, column = static_cast<int>(i) % kColumns;
        Cover cover;
        cover.book = books[i].path;
        cover.title = books[i].title;
        cover.key = pictures::keyOf(cover.book).value_or("");
        if (cover.key.empty()) {
            CCLog("shelf: cannot look at the book %s; it gets a plain cover", cover.book.c_str());
            cover.look = CoverLook::Plain;
        } else if (pictures::hasCover(cover.key)) {
            cover.look = CoverLook::Picture;
        } else if (pictures::failure(cover.key)) {
            cover.look = CoverLook::Plain;
        } else {
            ++m_toMake;
            maker.request(cover.book, false);
            // Without a maker nothing will come: the plain cover at once.
            if (maker.program().empty()) cover.look = CoverLook::Plain;
        }
        cover.widget = gui::Layout::create();
        // Room between covers for the keyboard's ring, also at the screen's sides.
        cover.widget->setSize(CCSize(kColumnWidth - 24, kRowHeight - 8));
        cover.widget->setPosition(
            CCPoint(column * kColumnWidth + 12, innerHeight - kTopMargin - (row + 1) * kRowHeight + 4));
        cover.widget->setTouchEnabled(true);
        cover.widget->setTag(static_cast<int>(i));
        cover.widget->setTouchEventHandler(this, &ShelfLayer::onCoverTouched);
        m_scroll->addChild(cover.widget);
        m_covers.push_back(std::move(cover));
    }
    m_uiLayer->addWidget(root);
}

CCRect ShelfLayer::coverBounds(int index) const {
    if (index < 0 || index >= coverCount()) return CCRect();
    return widgetBounds(m_covers[static_cast<size_t>(index)].widget);
}

ShelfLayer::CoverLook ShelfLayer::coverLook(int index) const {
    return m_covers.at(static_cast<size_t>(index)).look;
}

bool ShelfLayer::coverBuilt(int index) const {
    return m_covers.at(static_cast<size_t>(index)).content != nullptr;
}

bool ShelfLayer::coverPressed(int index) const {
    const Cover& cover = m_covers.at(static_cast<size_t>(index));
    return cover.content && cover.content->getChildByTag(kPressedShadeTag);
}

const std::string& ShelfLayer::coverTitle(int index) const {
    return m_covers.at(static_cast<size_t>(index)).title;
}

std::string ShelfLayer::progressText() const {
    return m_progress ? m_progress->getString() : "";
}

float ShelfLayer::scrolled() const {
    // The inner container's top meets the frame's top when nothing is scrolled.
    gui::Layout* inner = m_scroll->getInnerContainer();
    return inner->getPosition().y + inner->getSize().height - m_scroll->getSize().height;
}

void ShelfLayer::scrollCovers(float offset) {
    // Held between the ends, as a drag is.
    gui::Layout* inner = m_scroll->getInnerContainer();
    const float lowest = m_scroll->getSize().height - inner->getSize().height;
    const CCPoint at = inner->getPosition();
    inner->setPosition(CCPoint(at.x, std::clamp(at.y + offset, lowest, 0.0f)));
}

void ShelfLayer::refreshLooks() {
    // Only the covers on show: the others look in the cache when they are
    // built, so that a cover made costs a few file looks, not one per book.
    for (Cover& cover : m_covers)
        if (cover.content && cover.look == CoverLook::Waiting && lookInCache(cover)) dropContent(cover);
    m_filledAt = -1;
}

bool ShelfLayer::lookInCache(Cover& cover) {
    if (pictures::hasCover(cover.key))
        cover.look = CoverLook::Picture;
    else if (pictures::failure(cover.key) || !pictures::PictureMaker::shared().busy())
        cover.look = CoverLook::Plain; // failed, or the maker stopped without it
    else
        return false;
    return true;
}

void ShelfLayer::fillNearView() {
    const float at = scrolled();
    if (at == m_filledAt) return;
    // Covers on screen are built at once; those coming up a row at a time
    // per frame, so that no frame of a scroll decodes many pictures.
    int ahead = kColumns;
    bool allBuilt = true;
    for (Cover& cover : m_covers) {
        const CCRect box = widgetBounds(cover.widget);
        const float below = -box.getMaxY(), above = box.getMinY() - kScreenHeight; // > 0: that far off screen
        const float away = std::max(below, above);
        if (away < kScreenHeight * kBuildReach) {
            if (cover.content) continue;
            if (away > 0 && ahead-- <= 0) {
                allBuilt = false;
                continue;
            }
            buildContent(cover);
        } else if (away > kScreenHeight * kKeepReach && cover.content) {
            dropContent(cover);
        }
    }
    if (allBuilt) m_filledAt = at;
}

void ShelfLayer::buildContent(Cover& cover) {
    if (cover.look == CoverLook::Waiting) lookInCache(cover);
    // A title the book gives itself replaces the one from its file name.
    if (cover.look == CoverLook::Picture)
        if (std::optional<std::string> title = pictures::title(cover.key)) cover.title = *title;
    const CCSize size = cover.widget->getSize();
    CCNode* content = CCNode::create();
    const CCPoint centre(size.width / 2, size.height - 8 - kCoverHeight / 2);

    CCTexture2D* picture =
        cover.look == CoverLook::Picture ? pictures::load(pictures::coverFile(cover.key)) : nullptr;
    if (cover.look == CoverLook::Picture && !picture) cover.look = CoverLook::Plain; // a corrupt file
    if (picture) {
        CCSprite* sprite = CCSprite::createWithTexture(picture);
        sprite->setScaleX(kCoverWidth / picture->getContentSize().width);
        sprite->setScaleY(kCoverHeight / picture->getContentSize().height);
        sprite->setPosition(centre);
        content->addChild(sprite);
    } else {
        const bool waiting = cover.look == CoverLook::Waiting;
        CCLayerColor* plain =
            CCLayerColor::create(waiting ? kWaitingColour : kPlainColour, kCoverWidth, kCoverHeight);
        plain->setPosition(CCPoint(centre.x - kCoverWidth / 2, centre.y - kCoverHeight / 2));
        // A plain cover names its file; a waiting one says it is coming.
        CCLabelTTF* name = CCLabelTTF::create(waiting ? "..." : fileName(cover.book).c_str(), "Arial", 22,
                                              CCSize(kCoverWidth - 16, 0), kCCTextAlignmentCenter);
        name->setColor(kTitleColour);
        name->setPosition(CCPoint(kCoverWidth / 2, kCoverHeight / 2));
        plain->addChild(name);
        content->addChild(plain);
    }
    CCLabelTTF* title = CCLabelTTF::create(cover.title.c_str(), "Arial", 24);
    title->setColor(kTitleColour);
    const float room = size.width - 8, wide = title->getContentSize().width;
    if (wide > room) title->setScale(room / wide);
    title->setPosition(CCPoint(size.width / 2, centre.y - kCoverHeight / 2 - kTitleHeight / 2));
    content->addChild(title);

    cover.widget->getRenderer()->addChild(content);
    cover.content = content;
}

void ShelfLayer::dropContent(Cover& cover) {
    if (!cover.content) return;
    cover.content->removeFromParentAndCleanup(true);
    cover.content = nullptr;
}

void ShelfLayer::pollPictures(float elapsed) {
    update(elapsed);
    if (!pictures::PictureMaker::shared().busy()) unschedule(schedule_selector(ShelfLayer::pollPictures));
}

void ShelfLayer::update(float) {
    pictures::PictureMaker& maker = pictures::PictureMaker::shared();
    maker.poll();
    if (maker.finished() != m_seenFinished || (!maker.busy() && m_toMake > 0)) {
        m_seenFinished = maker.finished();
        if (!maker.busy()) m_toMake = 0; // nothing more will come
        refreshLooks();
    }
    showProgress();
    fillNearView();
}

void ShelfLayer::showProgress() {
    const pictures::PictureMaker& maker = pictures::PictureMaker::shared();
    std::string progress;
    if (m_toMake > 0 && maker.busy()) {
        const int made = std::max(0, m_toMake - maker.waiting());
        progress = "... " + std::to_string(made) + " / " + std::to_string(m_toMake);
    }
    if (progress != m_progress->getString()) m_progress->setString(progress.c_str());
    m_progressBar->setVisible(!progress.empty());
}

void ShelfLayer::onCoverTouched(CCObject* sender, int eventType) {
    auto* widget = dynamic_cast<gui::UIWidget*>(sender);
    if (!widget || widget->getTag() < 0 || widget->getTag() >= coverCount()) return;
    Cover& cover = m_covers[static_cast<size_t>(widget->getTag())];
    // A finger held on a cover darkens it, so a child sees it is taken;
    // a drag that scrolls the shelf lets it go.
    const bool held =
        eventType == gui::TOUCH_EVENT_BEGAN || (eventType == gui::TOUCH_EVENT_MOVED && widget->isFocused());
    showPressed(cover, held);
    // Opens on the lift over the cover: a drag that scrolls the shelf is not a choice.
    if (eventType == gui::TOUCH_EVENT_ENDED) open(widget->getTag());
}

void ShelfLayer::showPressed(Cover& cover, bool pressed) {
    if (!cover.content) return;
    CCNode* shade = cover.content->getChildByTag(kPressedShadeTag);
    if (pressed && !shade) {
        const CCSize size = cover.widget->getSize();
        CCLayerColor* dark = CCLayerColor::create(ccc4(0, 0, 0, 70), kCoverWidth, kCoverHeight);
        dark->setPosition(CCPoint(size.width / 2 - kCoverWidth / 2, size.height - 8 - kCoverHeight));
        cover.content->addChild(dark, 1, kPressedShadeTag);
    } else if (!pressed && shade) {
        shade->removeFromParentAndCleanup(true);
    }
}

void ShelfLayer::open(int index) {
    if (m_opening || index < 0 || index >= coverCount()) return;
    if (CCDirector::sharedDirector()->getNextScene()) return;
    rememberPlace();
    const std::string book = m_covers[static_cast<size_t>(index)].book;
    m_opening = true;
    if (!shelf::readFromShelf(book)) {
        m_opening = false;
        Cover& cover = m_covers[static_cast<size_t>(index)];
        cover.look = CoverLook::Plain;
        dropContent(cover);
        m_filledAt = -1;
    }
}

void ShelfLayer::rememberPlace() {
    shelf::ShelfPlace& place = shelf::place();
    place.scrolled = scrolled();
    place.focused = m_focusRing->getFocusedIndex();
    place.ringShown = place.focused >= 0;
}

bool ShelfLayer::keyPressed(int key) {
    if (moveAmongCovers(key)) return true;
    if (!m_focusRing->handleKey(key)) return false;
    const int focused = m_focusRing->getFocusedIndex();
    if (focused >= 0) scrollToShow(focused);
    return true;
}

bool ShelfLayer::moveAmongCovers(int key) {
    if (key != kKeyRight && key != kKeyLeft && key != kKeyUp && key != kKeyDown) return false;
    if (m_covers.empty()) return true;
    const int at = m_focusRing->getFocusedIndex();
    int to = at;
    if (at < 0) {
        // The first arrow shows the ring on the first cover in view.
        to = 0;
        for (int i = 0; i < coverCount(); ++i)
            if (coverBounds(i).getMaxY() <= kScreenHeight + 1) {
                to = i;
                break;
            }
    } else if (key == kKeyRight) {
        to = at + 1;
    } else if (key == kKeyLeft) {
        to = at - 1;
    } else if (key == kKeyDown) {
        to = at + kColumns;
    } else {
        to = at - kColumns;
    }
    if (to < 0 || to >= coverCount()) return true;
    bookState.keyboardFocusInUse = true;
    m_focusRing->focus(to);
    scrollToShow(to);
    return true;
}

void ShelfLayer::scrollToShow(int index) {
    const CCRect box = coverBounds(index);
    const float reach = FocusRing::kReach + 4;
    if (box.getMaxY() + reach > kScreenHeight)
        scrollCovers(-(box.getMaxY() + reach - kScreenHeight));
    else if (box.getMinY() - reach < 0)
        scrollCovers(reach - box.getMinY());
    fillNearView();
}

} // namespace book
