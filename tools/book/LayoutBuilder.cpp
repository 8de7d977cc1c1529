#include "tools/book/LayoutBuilder.h"

namespace bookmaker {

Json::Value LayoutBuilder::node(const char* classname, const Json::Value& options) {
    Json::Value node(Json::objectValue);
    node["classname"] = classname;
    node["name"] = Json::Value();
    node["children"] = Json::Value(Json::arrayValue);
    node["options"] = options;
    return node;
}

Json::Value LayoutBuilder::options(const char* classname, const std::string& name, float x, float y,
                                   float width, float height, bool touchable) const {
    Json::Value o(Json::objectValue);
    o["classname"] = classname;
    o["name"] = name;
    o["x"] = x;
    o["y"] = y;
    o["width"] = width;
    o["height"] = height;
    o["anchorPointX"] = 0.5;
    o["anchorPointY"] = 0.5;
    o["touchAble"] = touchable;
    o["visible"] = true;
    o["tag"] = 0;
    o["actiontag"] = 0;
    o["ZOrder"] = 0;
    o["scaleX"] = 1;
    o["scaleY"] = 1;
    o["rotation"] = 0;
    o["opacity"] = 255;
    o["colorR"] = 255;
    o["colorG"] = 255;
    o["colorB"] = 255;
    o["flipX"] = false;
    o["flipY"] = false;
    return o;
}

void LayoutBuilder::setPicture(Json::Value& o, const char* key, const Picture& picture) const {
    if (m_older) {
        o[key] = picture.name;
        // One flag for all pictures of a widget in this format: an empty
        // slot does not change it.
        if (!picture.name.empty() || !o.isMember("useMergedTexture"))
            o["useMergedTexture"] = picture.spriteFrame;
        return;
    }
    Json::Value data(Json::objectValue);
    data["path"] = picture.name;
    data["resourceType"] = picture.spriteFrame ? 1 : 0;
    data["plistFile"] = "";
    o[std::string(key) + "Data"] = data;
}

Json::Value LayoutBuilder::rootPanel(const std::string& name, int width, int height) const {
    Json::Value o =
        options("Panel", name, 0, 0, static_cast<float>(width), static_cast<float>(height), false);
    o["anchorPointX"] = 0;
    o["anchorPointY"] = 0;
    o["clipAble"] = false;
    o["colorType"] = 0;
    o["bgColorOpacity"] = 0;
    o["backGroundScale9Enable"] = false;
    setPicture(o, "backGroundImage", Picture{});
    return node("Panel", o);
}

Json::Value LayoutBuilder::imageView(const std::string& name, const Picture& picture, float x,
                                     float y) const {
    Json::Value o = options("ImageView", name, x, y, 0, 0, false);
    o["ignoreSize"] = true;
    o["scale9Enable"] = false;
    setPicture(o, "fileName", picture);
    return node("ImageView", o);
}

Json::Value LayoutBuilder::button(const std::string& name, float x, float y, float width, float height,
                                  const Picture& normal, const Picture& pressed,
                                  const Picture& disabled) const {
    Json::Value o = options("Button", name, x, y, width, height, true);
    o["ignoreSize"] = false;
    o["scale9Enable"] = false;
    setPicture(o, "normal", normal);
    setPicture(o, "pressed", pressed);
    setPicture(o, "disabled", disabled);
    return node("Button", o);
}

Json::Value LayoutBuilder::textButton(const std::string& name, float x, float y, float width, float height,
                                      const Picture& normal, const Picture& pressed, const Picture& disabled,
                                      const std::string& title, const std::string& fontName,
                                      int fontSize) const {
    Json::Value tree = button(name, x, y, width, height, normal, pressed, disabled);
    Json::Value& o = tree["options"];
    tree["classname"] = "TextButton";
    o["classname"] = "TextButton";
    o["scale9Enable"] = true;
    // The faces are 60 x 60 with round corners 20 wide: stretch the middle.
    o["capInsetsX"] = 20;
    o["capInsetsY"] = 20;
    o["capInsetsWidth"] = 20;
    o["capInsetsHeight"] = 20;
    o["scale9Width"] = width;
    o["scale9Height"] = height;
    o["text"] = title;
    o["fontName"] = fontName;
    o["fontSize"] = fontSize;
    o["textColorR"] = 25;
    o["textColorG"] = 24;
    o["textColorB"] = 25;
    return tree;
}

Json::Value LayoutBuilder::document(const Json::Value& tree, int designWidth, int designHeight,
                                    const std::vector<std::string>& sheets) const {
    Json::Value doc(Json::objectValue);
    doc["classname"] = Json::Value();
    doc["name"] = Json::Value();
    // The older format is told apart by an old editor version.
    doc["version"] = m_older ? "0.2.4.0" : "1.0.0.0";
    doc["designWidth"] = designWidth;
    doc["designHeight"] = designHeight;
    doc["dataScale"] = 1;
    Json::Value textures(Json::arrayValue);
    for (const std::string& sheet : sheets)
        textures.append(sheet);
    doc["textures"] = textures;
    doc["widgetTree"] = tree;
    Json::Value animation(Json::objectValue);
    animation["classname"] = Json::Value();
    animation["name"] = "AnimationManager";
    animation["actionlist"] = Json::Value(Json::arrayValue);
    doc["animation"] = animation;
    return doc;
}

} // namespace bookmaker
