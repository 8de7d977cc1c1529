#include "engine/menu/CCMenu.h"

#include "engine/base/CCArray.h"
#include "engine/base/CCLog.h"
#include "engine/base/CCTouch.h"
#include "engine/director/CCDirector.h"

#include <algorithm>

namespace engine {

CCMenu* CCMenu::create() {
    return createWithItems({});
}

CCMenu* CCMenu::createWithItem(CCMenuItem* item) {
    return createWithItems({item});
}

CCMenu* CCMenu::createWithItems(const std::vector<CCMenuItem*>& items) {
    auto* menu = new CCMenu();
    if (!autoreleasedIf(menu->init(), menu)) return nullptr;
    for (CCMenuItem* item : items)
        if (item) menu->addChild(item);
    return menu;
}

CCMenu* CCMenu::createWithArray(CCArray* items) {
    auto* menu = new CCMenu();
    return autoreleasedIf(menu->initWithArray(items), menu);
}

bool CCMenu::init() {
    return initWithArray(nullptr);
}

bool CCMenu::initWithArray(CCArray* items) {
    if (!CCLayerRGBA::init()) return false;
    m_touchMode = kCCTouchesOneByOne;
    m_touchPriority = kCCMenuHandlerPriority;
    setTouchEnabled(true);
    CCSize size = CCDirector::sharedDirector()->getWinSize();
    setPosition(size.width / 2, size.height / 2);
    if (items) {
        for (CCObject* object : *items) {
            auto* item = dynamic_cast<CCMenuItem*>(object);
            if (item)
                addChild(item);
            else
                CCLog("CCMenu::initWithArray: an entry that is not a menu item was skipped");
        }
    }
    return true;
}

void CCMenu::addChild(CCNode* child, int zOrder, int tag) {
    if (child && !dynamic_cast<CCMenuItem*>(child)) {
        CCLog("CCMenu::addChild: only menu items can join a menu; child refused");
        return;
    }
    CCLayerRGBA::addChild(child, zOrder, tag);
}

void CCMenu::removeChild(CCNode* child, bool cleanup) {
    if (child && child == m_touchItem.get()) endTracking();
    CCLayerRGBA::removeChild(child, cleanup);
}

// --- alignment

void CCMenu::alignItemsVerticallyWithPadding(float padding) {
    float height = -padding;
    for (CCNode* child : m_children)
        height += child->getContentSize().height * child->getScaleY() + padding;
    float top = height / 2.0f;
    for (CCNode* child : m_children) {
        float itemHeight = child->getContentSize().height * child->getScaleY();
        child->setPosition(0, top - itemHeight / 2.0f);
        top -= itemHeight + padding;
    }
}

void CCMenu::alignItemsHorizontallyWithPadding(float padding) {
    float width = -padding;
    for (CCNode* child : m_children)
        width += child->getContentSize().width * child->getScaleX() + padding;
    float left = -width / 2.0f;
    for (CCNode* child : m_children) {
        float itemWidth = child->getContentSize().width * child->getScaleX();
        child->setPosition(left + itemWidth / 2.0f, 0);
        left += itemWidth + padding;
    }
}

// --- touches

bool CCMenu::isShown() const {
    if (!m_running) return false;
    for (const CCNode* node = this; node; node = node->getParent())
        if (!node->isVisible()) return false;
    return true;
}

CCMenuItem* CCMenu::itemForTouch(CCTouch* touch) {
    CCPoint location = touch->getLocation();
    // Topmost first: children are kept in drawing order.
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        auto* item = dynamic_cast<CCMenuItem*>(*it);
        if (item && item->isVisible() && item->isEnabled() && item->containsWorldPoint(location)) return item;
    }
    return nullptr;
}

bool CCMenu::canActivate(CCMenuItem* item, CCTouch* touch) {
    return item && item->getParent() == this && m_enabled && isShown() && item->isVisible() &&
           item->isEnabled() && item->containsWorldPoint(touch->getLocation());
}

bool CCMenu::ccTouchBegan(CCTouch* touch, CCEvent* /*event*/) {
    if (m_tracking || !m_enabled || !isShown()) return false;
    CCMenuItem* item = itemForTouch(touch);
    if (!item) return false;
    m_tracking = true;
    m_touchItem = item;
    m_selectedItem = item;
    item->selected();
    return true;
}

void CCMenu::ccTouchMoved(CCTouch* touch, CCEvent* /*event*/) {
    if (!m_tracking) return;
    bool over = canActivate(m_touchItem.get(), touch);
    if (over && !m_selectedItem) {
        m_selectedItem = m_touchItem;
        m_selectedItem->selected();
    } else if (!over && m_selectedItem) {
        CCRef<CCMenuItem> item = m_selectedItem;
        m_selectedItem.reset();
        item->unselected();
    }
}

void CCMenu::ccTouchEnded(CCTouch* touch, CCEvent* /*event*/) {
    if (!m_tracking) return;
    CCRef<CCMenuItem> item = m_touchItem;
    bool over = canActivate(item.get(), touch);
    endTracking();
    if (!over) return;
    // The handler may take the menu down (a new scene): keep it until the call returns.
    CCRef<CCMenu> self(this);
    item->activate();
}

void CCMenu::ccTouchCancelled(CCTouch* /*touch*/, CCEvent* /*event*/) {
    endTracking();
}

void CCMenu::endTracking() {
    m_tracking = false;
    m_touchItem.reset();
    CCRef<CCMenuItem> selected = std::move(m_selectedItem);
    if (selected) selected->unselected();
}

void CCMenu::onExit() {
    endTracking();
    CCLayerRGBA::onExit();
}

} // namespace engine
