#pragma once
// Widget layout files as the layout editor writes them, in either property
// format: the newer one (resources as {"path", "resourceType"} objects under
// "...Data" keys) or the older one (plain names and "useMergedTexture").
#include <json/json.h>

#include <string>
#include <vector>

namespace bookmaker {

// A picture a widget shows: a file beside the layout file, or a frame of a
// sprite sheet that the layout file lists.
struct Picture {
    std::string name;
    bool spriteFrame = false;
};

class LayoutBuilder {
public:
    explicit LayoutBuilder(bool olderFormat) : m_older(olderFormat) {}

    // The root panel: design-sized, anchored at its lower-left corner, and not
    // touchable, so touches on empty parts of the screen reach the screen.
    Json::Value rootPanel(const std::string& name, int width, int height) const;
    Json::Value imageView(const std::string& name, const Picture& picture, float x, float y) const;
    // A button `width` x `height` centred on (x, y), its pictures scaled to it.
    Json::Value button(const std::string& name, float x, float y, float width, float height,
                       const Picture& normal, const Picture& pressed, const Picture& disabled) const;
    // A nine-slice button with a title.
    Json::Value textButton(const std::string& name, float x, float y, float width, float height,
                           const Picture& normal, const Picture& pressed, const Picture& disabled,
                           const std::string& title, const std::string& fontName, int fontSize) const;

    // The whole file around a widget tree; `sheets` are sprite-sheet files
    // beside the layout file.
    Json::Value document(const Json::Value& tree, int designWidth, int designHeight,
                         const std::vector<std::string>& sheets) const;

private:
    Json::Value options(const char* classname, const std::string& name, float x, float y, float width,
                        float height, bool touchable) const;
    void setPicture(Json::Value& options, const char* key, const Picture& picture) const;
    static Json::Value node(const char* classname, const Json::Value& options);

    bool m_older;
};

} // namespace bookmaker
