#pragma once
// The layout reader's property readers, one per kind of widget, and the
// helpers they share. Internal to the reader.
//
// Every kind's reader applies the common properties, then its own, then the
// colour properties, so the colour keys win over any colour set earlier.
#include "gui/LayoutObserver.h"
#include "gui/TextureKind.h"

#include <string>

namespace Json {
class Value;
}

namespace gui {
class Layout;
class UIWidget;
} // namespace gui

namespace gui::reader {

// What the readers need to know about the file being read.
struct ReadContext {
    const std::string& filePath; // folder of the layout file, ending in "/" or empty
    bool olderVersion;
    const std::string& fileName; // names the file in log lines
    LayoutObserver* observer;    // told of each resource loaded by name; may be none
};

// A resource reference resolved to what a widget loads. An empty name loads
// nothing.
struct ResourceRef {
    std::string name;
    TextureKind kind = UI_TEX_TYPE_LOCAL;
    // The name as the layout writes it, for the observer: longer than `name`
    // only when the text holds a NUL byte, where the loaders stop reading it.
    std::string written;
};

// Each of these is called just before its answer is loaded, and tells the
// context's observer what it names.
//
// Older format: the name under `key`, with "useMergedTexture" telling a
// sprite-frame name (used unchanged) from a file beside the layout file.
ResourceRef olderResource(const ReadContext& context, const Json::Value* options, const char* key);
// Newer format: the object under `dataKey` with "resourceType" 0 (file beside
// the layout file) or 1 (sprite frame) and "path".
ResourceRef newerResource(const ReadContext& context, const Json::Value* options, const char* dataKey);
// A file name beside the layout file in either format ("…Data" of type 0
// only, in the newer), of the given kind; empty when there is none.
std::string fileBesideLayout(const ReadContext& context, const Json::Value* options, const char* key,
                             const char* dataKey, NamedResource::Kind kind);

using PropertyReader = void (*)(const ReadContext& context, UIWidget* widget, const Json::Value* options);

void readCommonProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readColorProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);

// --- one reader per kind (common, own, colour properties)
void readButtonProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readTextButtonProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readCheckBoxProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readImageViewProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readLoadingBarProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readSliderProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readPanelProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readLabelProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readTextAreaProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readLabelAtlasProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readLabelBMFontProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readTextFieldProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readScrollViewProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readPageViewProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);
void readDragPanelProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options);

// The panel reader's work for every container; scrolling containers always
// clip, so they skip "clipAble".
void readPanelLikeProperties(const ReadContext& context, Layout* panel, const Json::Value* options,
                             bool readClipAble);

} // namespace gui::reader
