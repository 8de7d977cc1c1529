#pragma once
// Which widget each "classname" of a layout file makes, and which property
// reader fills it in. Internal to the layout reader.
#include "gui/reader/PropertyReaders.h"

namespace Json {
class Value;
}

namespace gui {
class UIWidget;
}

namespace gui::reader {

// The widget of one node (autoreleased) with the node's "options" applied, or
// none (with a log line) for a class that makes no widget. Children are not
// read here.
UIWidget* createWidgetForNode(const ReadContext& context, const Json::Value* node);

} // namespace gui::reader
