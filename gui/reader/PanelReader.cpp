// Panels: the container properties, then the background.
#include "gui/Layout.h"
#include "gui/LayoutReader.h"
#include "gui/reader/PropertyDetail.h"
#include "gui/reader/PropertyReaders.h"

namespace gui::reader {

void readPanelProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    readPanelLikeProperties(context, static_cast<Layout*>(widget), options, true);
}

void readPanelLikeProperties(const ReadContext& context, Layout* panel, const Json::Value* options,
                             bool readClipAble) {
    // Common properties, clipping, colour properties: what every container starts with.
    readCommonProperties(context, panel, options);
    if (readClipAble) panel->setClipAble(LayoutReader::getBoolValue(options, "clipAble"));
    readColorProperties(context, panel, options);

    bool nineSlice = LayoutReader::getBoolValue(options, "backGroundScale9Enable");
    panel->setBackgroundImageNineSlice(nineSlice);

    // Direction before kind, so a new gradient layer starts out right.
    panel->setBackgroundGradientVector(engine::CCPoint(LayoutReader::getFloatValue(options, "vectorX"),
                                                       LayoutReader::getFloatValue(options, "vectorY")));
    panel->setBackgroundColorType(LayoutReader::getIntValue(options, "colorType"));
    panel->setBackgroundGradientColors(
        colorValue(options, "bgStartColorR", "bgStartColorG", "bgStartColorB", 0),
        colorValue(options, "bgEndColorR", "bgEndColorG", "bgEndColorB", 0));
    panel->setBackgroundColor(colorValue(options, "bgColorR", "bgColorG", "bgColorB", 0));
    panel->setBackgroundColorOpacity(byteValue(options, "bgColorOpacity", 0));

    ResourceRef image = context.olderVersion ? olderResource(context, options, "backGroundImage")
                                             : newerResource(context, options, "backGroundImageData");
    panel->setBackgroundImage(image.name, image.kind);
    if (nineSlice) panel->setBackgroundImageCapInsets(capInsetsValue(options));
}

} // namespace gui::reader
