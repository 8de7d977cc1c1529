#include "gui/UIToolkit.h"

#include "engine/base/CCArray.h"
#include "engine/director/CCDirector.h"
#include "gui/UIWidget.h"

#include <algorithm>

#include "engine/nodes/CCSpriteFrameCache.h"

namespace gui {

namespace {

UIToolkit* g_instance = nullptr;
std::vector<void (*)()> g_purgeHooks;

void loadIntoSpriteFrameCache([[maybe_unused]] const std::string& fileName) {
    engine::CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(fileName.c_str());
}

UIToolkit::SpriteSheetLoader& spriteSheetLoader() {
    static UIToolkit::SpriteSheetLoader loader = loadIntoSpriteFrameCache;
    return loader;
}

// Depth-first, pre-order, with an explicit stack: layout files may nest
// thousands of levels deep.
template <class Match> UIWidget* findFirst(UIWidget* root, Match matches) {
    if (!root) return nullptr;
    std::vector<UIWidget*> pending{root};
    while (!pending.empty()) {
        UIWidget* widget = pending.back();
        pending.pop_back();
        if (matches(widget)) return widget;
        engine::CCArray* children = widget->getChildren();
        if (!children) continue;
        // Pushed last to first, so the first child is searched next.
        for (auto it = children->data().rbegin(); it != children->data().rend(); ++it)
            pending.push_back(static_cast<UIWidget*>(*it));
    }
    return nullptr;
}

} // namespace

UIToolkit::UIToolkit() {
    engine::CCSize winSize = engine::CCDirector::sharedDirector()->getWinSize();
    m_fileDesignWidth = winSize.width;
    m_fileDesignHeight = winSize.height;
}

UIToolkit* UIToolkit::getInstance() {
    if (!g_instance) g_instance = new UIToolkit();
    return g_instance;
}

bool UIToolkit::hasInstance() {
    return g_instance != nullptr;
}

void UIToolkit::purgeToolkit() {
    // A hook may register another hook; walk a copy.
    std::vector<void (*)()> hooks = g_purgeHooks;
    for (auto hook : hooks)
        hook();
    delete g_instance;
    g_instance = nullptr;
}

void UIToolkit::addPurgeHook(void (*hook)()) {
    if (!hook || std::find(g_purgeHooks.begin(), g_purgeHooks.end(), hook) != g_purgeHooks.end()) return;
    g_purgeHooks.push_back(hook);
}

UIWidget* UIToolkit::findWidgetByName(UIWidget* root, const std::string& name) {
    return findFirst(root, [&name](UIWidget* widget) { return widget->getName() == name; });
}

UIWidget* UIToolkit::findWidgetByActionTag(UIWidget* root, int actionTag) {
    return findFirst(root, [actionTag](UIWidget* widget) { return widget->getActionTag() == actionTag; });
}

void UIToolkit::addSpriteSheet(const std::string& fileName) {
    if (fileName.empty()) return;
    if (std::find(m_spriteSheets.begin(), m_spriteSheets.end(), fileName) != m_spriteSheets.end()) return;
    m_spriteSheets.push_back(fileName);
    if (spriteSheetLoader()) spriteSheetLoader()(fileName);
}

void UIToolkit::setSpriteSheetLoader(SpriteSheetLoader loader) {
    spriteSheetLoader() = loader ? std::move(loader) : SpriteSheetLoader(loadIntoSpriteFrameCache);
}

} // namespace gui
