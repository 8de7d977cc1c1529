// Scroll views, page views and drag panels: the panel's properties, then
// their own. Children read from the file go into the inner container, since
// the containers' addChild puts them there.
#include "engine/base/CCLog.h"
#include "gui/LayoutReader.h"
#include "gui/UIDragPanel.h"
#include "gui/UIPageView.h"
#include "gui/UIScrollView.h"
#include "gui/reader/PropertyReaders.h"

namespace gui::reader {

namespace {
engine::CCSize innerSize(const Json::Value* options) {
    return {LayoutReader::getFloatValue(options, "innerWidth"),
            LayoutReader::getFloatValue(options, "innerHeight")};
}
} // namespace

void readScrollViewProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    auto* view = static_cast<UIScrollView*>(widget);
    readPanelLikeProperties(context, view, options, false);
    view->setInnerContainerSize(innerSize(options));
    int direction = LayoutReader::getIntValue(options, "direction");
    if (direction < SCROLLVIEW_DIR_NONE || direction > SCROLLVIEW_DIR_HORIZONTAL)
        engine::CCLog("LayoutReader: %s: scroll view \"%s\" has unknown direction %d; it does not scroll",
                      context.fileName.c_str(), view->getName().c_str(), direction);
    view->setDirection(direction);
}

void readPageViewProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    readPanelLikeProperties(context, static_cast<UIPageView*>(widget), options, true);
    readColorProperties(context, widget, options);
}

void readDragPanelProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    auto* panel = static_cast<UIDragPanel*>(widget);
    readPanelLikeProperties(context, panel, options, false);
    panel->setBounceEnabled(LayoutReader::getBoolValue(options, "bounceEnable"));
    panel->setInnerContainerSize(innerSize(options));
}

} // namespace gui::reader
