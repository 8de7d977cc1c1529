#include "book/FocusRing.h"

#include "book/BookState.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCKeyCodes.h"
#include "engine/director/CCTouchDispatcher.h"
#include "gui/UIWidget.h"

#include <algorithm>

using namespace engine;

namespace book {

namespace {

constexpr float kOuterWidth = 6.0f; // points across, centred on the edge
constexpr float kInnerWidth = 2.0f;
constexpr float kMargin = 6.0f; // points between the thing and the ring
static_assert(FocusRing::kReach == kMargin + kOuterWidth / 2);
const ccColor4F kOuterColour = {0.05f, 0.1f, 0.4f, 1.0f};
const ccColor4F kInnerColour = {1.0f, 1.0f, 1.0f, 1.0f};
const ccColor4F kNoFill = {0, 0, 0, 0};

// Touches reach this before any other handler.
constexpr int kFirstOfAll = -1000000;

CCRect worldBox(const CCAffineTransform& toWorld, const CCRect& local) {
    const CCPoint corners[4] = {local.origin, ccp(local.getMaxX(), local.origin.y),
                                ccp(local.getMaxX(), local.getMaxY()), ccp(local.origin.x, local.getMaxY())};
    CCPoint low = CCPointApplyAffineTransform(corners[0], toWorld), high = low;
    for (const CCPoint& corner : corners) {
        CCPoint p = CCPointApplyAffineTransform(corner, toWorld);
        low = ccp(std::min(low.x, p.x), std::min(low.y, p.y));
        high = ccp(std::max(high.x, p.x), std::max(high.y, p.y));
    }
    return CCRect(low.x, low.y, high.x - low.x, high.y - low.y);
}

float middleY(const CCRect& rect) {
    return rect.origin.y + rect.size.height / 2;
}

} // namespace

CCRect widgetBounds(gui::UIWidget* widget) {
    CCNode* node = widget ? widget->getRenderer() : nullptr;
    if (!node) return CCRect();
    // As the touch routing sees it: the size around the anchor, in the render node's space.
    const CCSize size = widget->getSize();
    const CCPoint anchor = widget->getAnchorPoint();
    return worldBox(node->nodeToWorldTransform(),
                    CCRect(-anchor.x * size.width, -anchor.y * size.height, size.width, size.height));
}

CCRect nodeBounds(CCNode* node) {
    if (!node) return CCRect();
    const CCSize size = node->getContentSize();
    return worldBox(node->nodeToWorldTransform(), CCRect(0, 0, size.width, size.height));
}

std::vector<FocusRing::Target> inReadingOrder(std::vector<FocusRing::Target> targets) {
    std::vector<std::pair<CCRect, FocusRing::Target>> placed;
    for (auto& target : targets)
        placed.emplace_back(target.bounds ? target.bounds() : CCRect(), std::move(target));
    std::stable_sort(placed.begin(), placed.end(),
                     [](const auto& a, const auto& b) { return middleY(a.first) > middleY(b.first); });
    // Rows: each starts at the highest thing not yet placed.
    for (size_t row = 0; row < placed.size();) {
        size_t end = row + 1;
        while (end < placed.size()) {
            float tolerance = std::min(placed[row].first.size.height, placed[end].first.size.height) / 2;
            if (middleY(placed[row].first) - middleY(placed[end].first) > tolerance) break;
            ++end;
        }
        std::stable_sort(placed.begin() + static_cast<long>(row), placed.begin() + static_cast<long>(end),
                         [](const auto& a, const auto& b) { return a.first.origin.x < b.first.origin.x; });
        row = end;
    }
    std::vector<FocusRing::Target> ordered;
    for (auto& entry : placed)
        ordered.push_back(std::move(entry.second));
    return ordered;
}

FocusRing* FocusRing::create() {
    auto* ring = new FocusRing();
    return autoreleasedIf(ring->init(), ring);
}

void FocusRing::setTargets(std::vector<Target> targets) {
    m_targets = std::move(targets);
    auto main = std::find_if(m_targets.begin(), m_targets.end(), [](const Target& t) { return t.main; });
    m_start = main == m_targets.end() ? 0 : static_cast<int>(main - m_targets.begin());
    if (bookState.keyboardFocusInUse && !m_targets.empty())
        focus(m_start);
    else
        hide();
}

bool FocusRing::handleKey(int key) {
    if (m_targets.empty()) return false;
    const int count = static_cast<int>(m_targets.size());
    switch (key) {
    case kKeyTab:
        focus(m_visible ? (m_index + 1) % count : m_start);
        return true;
    case kKeyBackTab:
        focus(m_visible ? (m_index + count - 1) % count : m_start);
        return true;
    case kKeyReturn:
    case kKeySpace: {
        if (!m_visible) return false;
        // The action may replace the screen, and this ring with it.
        std::function<void()> act = m_targets[static_cast<size_t>(m_index)].act;
        if (act) act();
        return true;
    }
    default:
        return false;
    }
}

void FocusRing::focus(int index) {
    if (m_targets.empty()) return;
    m_index = std::clamp(index, 0, static_cast<int>(m_targets.size()) - 1);
    m_visible = true;
    bookState.keyboardFocusInUse = true;
    redraw();
}

void FocusRing::hide() {
    m_visible = false;
    m_drawn = CCRect();
    clear();
}

void FocusRing::redraw() {
    const Target& target = m_targets[static_cast<size_t>(m_index)];
    CCRect world = target.bounds ? target.bounds() : CCRect();
    if (m_drawn.equals(world) && !isEmpty()) return;
    m_drawn = world;
    clear();
    // The ring lives in its parent's space; the screens put it on a layer at the origin.
    CCPoint low = convertToNodeSpace(world.origin);
    CCPoint high = convertToNodeSpace(ccp(world.getMaxX(), world.getMaxY()));
    low = low - ccp(kMargin, kMargin);
    high = high + ccp(kMargin, kMargin);
    const CCPoint corners[4] = {low, ccp(high.x, low.y), high, ccp(low.x, high.y)};
    drawPolygon(corners, 4, kNoFill, kOuterWidth, kOuterColour);
    drawPolygon(corners, 4, kNoFill, kInnerWidth, kInnerColour);
}

void FocusRing::onEnter() {
    CCDrawNode::onEnter();
    // First of all, so that every touch is seen; it is never claimed.
    CCDirector::sharedDirector()->getTouchDispatcher()->addTargetedDelegate(this, kFirstOfAll, false);
    scheduleUpdate();
}

void FocusRing::onExit() {
    CCDirector::sharedDirector()->getTouchDispatcher()->removeDelegate(this);
    unscheduleUpdate();
    CCDrawNode::onExit();
}

void FocusRing::update(float) {
    // The focused thing may move (the page menu's fly-in): the ring follows.
    if (m_visible) redraw();
}

bool FocusRing::ccTouchBegan(CCTouch*, CCEvent*) {
    bookState.keyboardFocusInUse = false;
    if (m_visible) hide();
    return false;
}

} // namespace book
