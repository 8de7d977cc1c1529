// Resource references and the properties every kind shares: the common ones
// (applied first) and the colour ones (applied last).
#include "gui/LayoutReader.h"
#include "gui/UIWidget.h"
#include "gui/reader/PropertyDetail.h"
#include "gui/reader/PropertyReaders.h"

#include <json/json.h>

#include <cstring>

namespace gui::reader {

// --- resources

namespace {

void tell(const ReadContext& context, NamedResource::Kind kind, const char* key, const std::string& name) {
    if (context.observer && !name.empty()) context.observer->resourceNamed({kind, key, name});
}

void tell(const ReadContext& context, const char* key, const ResourceRef& ref) {
    tell(context, ref.kind == UI_TEX_TYPE_PLIST ? NamedResource::kSpriteFrame : NamedResource::kPicture, key,
         ref.written);
}

// The whole text of a string value, NUL bytes and all; empty for any other value.
std::string wholeText(const Json::Value* object, const char* key) {
    return LayoutReader::getStringValue(object, key) ? (*object)[key].asString() : std::string();
}

// `name` under `prefix`, as loaded and as written.
ResourceRef named(const std::string& prefix, const char* name, const std::string& written, TextureKind kind) {
    return ResourceRef{prefix + name, kind, prefix + written};
}

ResourceRef resolveNewer(const ReadContext& context, const Json::Value* options, const char* dataKey) {
    const Json::Value* data = LayoutReader::getSubObject(options, dataKey);
    const char* path = LayoutReader::getStringValue(data, "path");
    if (!path || !*path) return {};
    switch (LayoutReader::getIntValue(data, "resourceType")) {
    case UI_TEX_TYPE_LOCAL:
        return named(context.filePath, path, wholeText(data, "path"), UI_TEX_TYPE_LOCAL);
    case UI_TEX_TYPE_PLIST:
        return named("", path, wholeText(data, "path"), UI_TEX_TYPE_PLIST);
    default:
        return {}; // an unknown type loads nothing
    }
}

} // namespace

ResourceRef olderResource(const ReadContext& context, const Json::Value* options, const char* key) {
    const char* name = LayoutReader::getStringValue(options, key);
    if (!name || !*name) return {}; // the folder alone would name no file
    const bool frame = LayoutReader::getBoolValue(options, "useMergedTexture");
    ResourceRef ref = named(frame ? std::string() : context.filePath, name, wholeText(options, key),
                            frame ? UI_TEX_TYPE_PLIST : UI_TEX_TYPE_LOCAL);
    tell(context, key, ref);
    return ref;
}

ResourceRef newerResource(const ReadContext& context, const Json::Value* options, const char* dataKey) {
    ResourceRef ref = resolveNewer(context, options, dataKey);
    tell(context, dataKey, ref);
    return ref;
}

std::string fileBesideLayout(const ReadContext& context, const Json::Value* options, const char* key,
                             const char* dataKey, NamedResource::Kind kind) {
    ResourceRef ref;
    if (context.olderVersion) {
        const char* name = LayoutReader::getStringValue(options, key);
        if (name && *name) ref = named(context.filePath, name, wholeText(options, key), UI_TEX_TYPE_LOCAL);
    } else {
        ref = resolveNewer(context, options, dataKey);
        if (ref.kind != UI_TEX_TYPE_LOCAL) ref = {};
    }
    tell(context, kind, context.olderVersion ? key : dataKey, ref.written);
    return ref.name;
}

// --- shared values

namespace {

const Json::Value* findMember(const Json::Value* options, const char* key) {
    if (!options || !options->isObject()) return nullptr;
    return options->find(key, key + std::strlen(key));
}

} // namespace

bool hasBool(const Json::Value* options, const char* key) {
    const Json::Value* value = findMember(options, key);
    return value && value->isBool();
}

bool hasNumber(const Json::Value* options, const char* key) {
    const Json::Value* value = findMember(options, key);
    if (!value) return false;
    Json::ValueType type = value->type();
    return type == Json::intValue || type == Json::uintValue || type == Json::realValue ||
           type == Json::booleanValue;
}

engine::GLubyte byteValue(const Json::Value* options, const char* key, int defaultValue) {
    int value = LayoutReader::getIntValue(options, key, defaultValue);
    return static_cast<engine::GLubyte>(value < 0 ? 0 : value > 255 ? 255 : value);
}

engine::ccColor3B colorValue(const Json::Value* options, const char* r, const char* g, const char* b,
                             int defaultValue) {
    return engine::ccc3(byteValue(options, r, defaultValue), byteValue(options, g, defaultValue),
                        byteValue(options, b, defaultValue));
}

engine::CCRect capInsetsValue(const Json::Value* options) {
    return engine::CCRect(LayoutReader::getFloatValue(options, "capInsetsX"),
                          LayoutReader::getFloatValue(options, "capInsetsY"),
                          LayoutReader::getFloatValue(options, "capInsetsWidth"),
                          LayoutReader::getFloatValue(options, "capInsetsHeight"));
}

// --- common and colour properties

void readCommonProperties(const ReadContext&, UIWidget* widget, const Json::Value* options) {
    if (hasBool(options, "ignoreSize"))
        widget->setIgnoreContentSize(LayoutReader::getBoolValue(options, "ignoreSize"));
    widget->setSize(engine::CCSize(LayoutReader::getFloatValue(options, "width"),
                                   LayoutReader::getFloatValue(options, "height")));
    widget->setTag(LayoutReader::getIntValue(options, "tag"));
    widget->setActionTag(LayoutReader::getIntValue(options, "actiontag"));
    widget->setTouchEnabled(LayoutReader::getBoolValue(options, "touchAble"));
    const char* name = LayoutReader::getStringValue(options, "name");
    widget->setName(name ? name : "default");
    widget->setPosition(engine::CCPoint(LayoutReader::getFloatValue(options, "x"),
                                        LayoutReader::getFloatValue(options, "y")));
    if (hasNumber(options, "scaleX")) widget->setScaleX(LayoutReader::getFloatValue(options, "scaleX"));
    if (hasNumber(options, "scaleY")) widget->setScaleY(LayoutReader::getFloatValue(options, "scaleY"));
    if (hasNumber(options, "rotation")) widget->setRotation(LayoutReader::getFloatValue(options, "rotation"));
    if (hasBool(options, "visible")) widget->setVisible(LayoutReader::getBoolValue(options, "visible"));
    widget->setZOrder(LayoutReader::getIntValue(options, "ZOrder"));
}

void readColorProperties(const ReadContext&, UIWidget* widget, const Json::Value* options) {
    if (hasNumber(options, "opacity")) widget->setOpacity(byteValue(options, "opacity", 255));
    widget->setColor(colorValue(options, "colorR", "colorG", "colorB", 255));
    widget->setAnchorPoint(engine::CCPoint(LayoutReader::getFloatValue(options, "anchorPointX", 0.5f),
                                           LayoutReader::getFloatValue(options, "anchorPointY", 0.5f)));
    widget->setFlipX(LayoutReader::getBoolValue(options, "flipX"));
    widget->setFlipY(LayoutReader::getBoolValue(options, "flipY"));
}

} // namespace gui::reader
