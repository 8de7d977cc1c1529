#include "gui/reader/ClassTable.h"

#include "engine/base/CCLog.h"
#include "gui/Layout.h"
#include "gui/LayoutReader.h"
#include "gui/UIButton.h"
#include "gui/UICheckBox.h"
#include "gui/UIDragPanel.h"
#include "gui/UIImageView.h"
#include "gui/UILabel.h"
#include "gui/UILabelAtlas.h"
#include "gui/UILabelBMFont.h"
#include "gui/UILoadingBar.h"
#include "gui/UIPageView.h"
#include "gui/UIScrollView.h"
#include "gui/UISlider.h"
#include "gui/UITextField.h"

#include <json/json.h>

#include <cstring>

namespace gui::reader {

namespace {

struct ClassEntry {
    const char* className;
    UIWidget* (*create)(); // none: the class makes no widget
    PropertyReader read;
    const char* whyNone; // logged when create is none
};

template <class W> UIWidget* make() {
    return W::create();
}

// Compared in this order; the first exact match wins.
const ClassEntry kClasses[] = {
    {"Button", make<UIButton>, readButtonProperties, nullptr},
    {"CheckBox", make<UICheckBox>, readCheckBoxProperties, nullptr},
    {"Label", make<UILabel>, readLabelProperties, nullptr},
    {"LabelAtlas", make<UILabelAtlas>, readLabelAtlasProperties, nullptr},
    {"LoadingBar", make<UILoadingBar>, readLoadingBarProperties, nullptr},
    {"ScrollView", make<UIScrollView>, readScrollViewProperties, nullptr},
    {"TextArea", make<UILabel>, readTextAreaProperties, nullptr},
    {"TextButton", make<UIButton>, readTextButtonProperties, nullptr},
    {"TextField", make<UITextField>, readTextFieldProperties, nullptr},
    {"ImageView", make<UIImageView>, readImageViewProperties, nullptr},
    {"Panel", make<Layout>, readPanelProperties, nullptr},
    {"Slider", make<UISlider>, readSliderProperties, nullptr},
    {"ListView", nullptr, nullptr, "makes no widget"},
    {"PageView", make<UIPageView>, readPageViewProperties, nullptr},
    {"LabelBMFont", make<UILabelBMFont>, readLabelBMFontProperties, nullptr},
    {"DragPanel", make<UIDragPanel>, readDragPanelProperties, nullptr},
};

} // namespace

UIWidget* createWidgetForNode(const ReadContext& context, const Json::Value* node) {
    const char* className = LayoutReader::getStringValue(node, "classname");
    if (!className) {
        engine::CCLog("LayoutReader: %s: a widget node without \"classname\" skipped with its children",
                      context.fileName.c_str());
        return nullptr;
    }
    for (const ClassEntry& entry : kClasses) {
        if (std::strcmp(entry.className, className) != 0) continue;
        if (!entry.create) {
            engine::CCLog("LayoutReader: %s: class \"%s\" %s; node skipped with its children",
                          context.fileName.c_str(), className, entry.whyNone);
            return nullptr;
        }
        UIWidget* widget = entry.create();
        if (!widget) {
            engine::CCLog("LayoutReader: %s: a \"%s\" widget could not be made; node skipped",
                          context.fileName.c_str(), className);
            return nullptr;
        }
        // A missing "options" reads as an object without keys: every key takes its default.
        const Json::Value* options = LayoutReader::getSubObject(node, "options");
        if (context.observer && LayoutReader::checkObjectExist(node, "options") &&
            !(options && (options->isObject() || options->isNull())))
            context.observer->optionsIgnored(className);
        entry.read(context, widget, options);
        return widget;
    }
    engine::CCLog("LayoutReader: %s: unknown class \"%s\"; node skipped with its children",
                  context.fileName.c_str(), className);
    return nullptr;
}

} // namespace gui::reader
