#pragma once
// The widget system's shared lookup object: the design size of the last
// layout file read, the sprite sheets already handed to the engine, and the
// searches for widgets by name and by action tag.
//
// Created on first use, destroyed only by purgeToolkit.
#include <functional>
#include <string>
#include <vector>

namespace gui {

class UIWidget;

class UIToolkit {
public:
    using SpriteSheetLoader = std::function<void(const std::string& fileName)>;

    static UIToolkit* getInstance();
    static bool hasInstance();
    // Runs the registered purge hooks (the layout reader drops its shared
    // instance there), then destroys the shared toolkit. The next use starts
    // afresh: no sheets recorded, the window size as design size.
    static void purgeToolkit();
    // Registers a function that purgeToolkit runs first; registering the same
    // function again keeps one entry. Hooks outlive the purges.
    static void addPurgeHook(void (*hook)());

    // Pre-order, root first, then each child's subtree in children order
    // (ascending zOrder, arrival order within equal zOrder). None when
    // nothing matches or root is none. Deep trees do not grow the stack.
    static UIWidget* findWidgetByName(UIWidget* root, const std::string& name);
    static UIWidget* findWidgetByActionTag(UIWidget* root, int actionTag);

    // Hands a sheet to the engine the first time its name is seen; empty
    // names and names already recorded do nothing.
    void addSpriteSheet(const std::string& fileName);
    const std::vector<std::string>& getSpriteSheets() const { return m_spriteSheets; }
    // Where sheets go; the default loads them into the engine's sprite-frame
    // cache. Tests and tools may watch the calls. Survives purges.
    static void setSpriteSheetLoader(SpriteSheetLoader loader);

    void setFileDesignWidth(float width) { m_fileDesignWidth = width; }
    float getFileDesignWidth() const { return m_fileDesignWidth; }
    void setFileDesignHeight(float height) { m_fileDesignHeight = height; }
    float getFileDesignHeight() const { return m_fileDesignHeight; }

private:
    UIToolkit();
    ~UIToolkit() = default;
    UIToolkit(const UIToolkit&) = delete;
    UIToolkit& operator=(const UIToolkit&) = delete;

    float m_fileDesignWidth;
    float m_fileDesignHeight;
    std::vector<std::string> m_spriteSheets;
};

} // namespace gui
