// Readers for the textured kinds: buttons, text buttons, check boxes, image
// views, loading bars and sliders.
#include "gui/LayoutReader.h"
#include "gui/UIButton.h"
#include "gui/UICheckBox.h"
#include "gui/UIImageView.h"
#include "gui/UILoadingBar.h"
#include "gui/UISlider.h"
#include "gui/reader/PropertyDetail.h"
#include "gui/reader/PropertyReaders.h"

namespace gui::reader {

namespace {

using R = LayoutReader;

// The kind of every older-format name of a node.
int olderKind(const Json::Value* options) {
    return R::getBoolValue(options, "useMergedTexture") ? UI_TEX_TYPE_PLIST : UI_TEX_TYPE_LOCAL;
}

ResourceRef resource(const ReadContext& context, const Json::Value* options, const char* olderKey,
                     const char* newerKey) {
    return context.olderVersion ? olderResource(context, options, olderKey)
                                : newerResource(context, options, newerKey);
}

// "scale9Width" and "scale9Height", when both are there.
bool readScale9Size(const Json::Value* options, engine::CCSize& size) {
    if (!hasNumber(options, "scale9Width") || !hasNumber(options, "scale9Height")) return false;
    size =
        engine::CCSize(R::getFloatValue(options, "scale9Width"), R::getFloatValue(options, "scale9Height"));
    return true;
}

} // namespace

void readButtonProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    readCommonProperties(context, widget, options);
    auto* button = static_cast<UIButton*>(widget);
    bool nineSlice = R::getBoolValue(options, "scale9Enable");
    button->setNineSliceEnabled(nineSlice);
    if (context.olderVersion) {
        // Loaded together, as one kind.
        ResourceRef normal = olderResource(context, options, "normal");
        ResourceRef pressed = olderResource(context, options, "pressed");
        ResourceRef disabled = olderResource(context, options, "disabled");
        button->loadTextures(normal.name.c_str(), pressed.name.c_str(), disabled.name.c_str(),
                             olderKind(options));
    } else {
        ResourceRef normal = newerResource(context, options, "normalData");
        button->loadNormalTexture(normal.name.c_str(), normal.kind);
        ResourceRef pressed = newerResource(context, options, "pressedData");
        button->loadPressedTexture(pressed.name.c_str(), pressed.kind);
        ResourceRef disabled = newerResource(context, options, "disabledData");
        button->loadDisabledTexture(disabled.name.c_str(), disabled.kind);
    }
    if (nineSlice) {
        button->setCapInsets(capInsetsValue(options));
        engine::CCSize size;
        if (readScale9Size(options, size)) button->setSize(size);
    }
    readColorProperties(context, widget, options);
}

void readTextButtonProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    readButtonProperties(context, widget, options);
    auto* button = static_cast<UIButton*>(widget);
    if (const char* text = R::getStringValue(options, "text")) button->setTitleText(text);
    button->setTitleColor(colorValue(options, "textColorR", "textColorG", "textColorB", 255));
    if (hasNumber(options, "fontSize")) button->setTitleFontSize(R::getFloatValue(options, "fontSize"));
    if (const char* font = R::getStringValue(options, "fontName")) button->setTitleFontName(font);
    readColorProperties(context, widget, options);
}

void readCheckBoxProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    readCommonProperties(context, widget, options);
    auto* checkBox = static_cast<UICheckBox*>(widget);
    if (context.olderVersion) {
        ResourceRef box = olderResource(context, options, "backGroundBox");
        ResourceRef boxSelected = olderResource(context, options, "backGroundBoxSelected");
        ResourceRef cross = olderResource(context, options, "frontCross");
        ResourceRef boxDisabled = olderResource(context, options, "backGroundBoxDisabled");
        ResourceRef crossDisabled = olderResource(context, options, "frontCrossDisabled");
        checkBox->loadTextures(box.name.c_str(), boxSelected.name.c_str(), cross.name.c_str(),
                               boxDisabled.name.c_str(), crossDisabled.name.c_str(), olderKind(options));
    } else {
        ResourceRef box = newerResource(context, options, "backGroundBoxData");
        checkBox->loadBoxTexture(box.name.c_str(), box.kind);
        ResourceRef boxSelected = newerResource(context, options, "backGroundBoxSelectedData");
        checkBox->loadBoxSelectedTexture(boxSelected.name.c_str(), boxSelected.kind);
        ResourceRef cross = newerResource(context, options, "frontCrossData");
        checkBox->loadCrossTexture(cross.name.c_str(), cross.kind);
        ResourceRef boxDisabled = newerResource(context, options, "backGroundBoxDisabledData");
        checkBox->loadBoxDisabledTexture(boxDisabled.name.c_str(), boxDisabled.kind);
        ResourceRef crossDisabled = newerResource(context, options, "frontCrossDisabledData");
        checkBox->loadCrossDisabledTexture(crossDisabled.name.c_str(), crossDisabled.kind);
    }
    readColorProperties(context, widget, options);
}

void readImageViewProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    readCommonProperties(context, widget, options);
    auto* image = static_cast<UIImageView*>(widget);
    bool hasNineSliceKey = hasBool(options, "scale9Enable");
    bool nineSlice = R::getBoolValue(options, "scale9Enable");
    // The older format switches nine-slice mode before loading, the newer after.
    if (context.olderVersion && hasNineSliceKey) image->setNineSliceEnabled(nineSlice);
    ResourceRef texture = resource(context, options, "fileName", "fileNameData");
    image->loadTexture(texture.name.c_str(), texture.kind);
    if (!context.olderVersion && hasNineSliceKey) image->setNineSliceEnabled(nineSlice);
    if (nineSlice) {
        engine::CCSize size;
        if (readScale9Size(options, size)) image->setSize(size);
        image->setCapInsets(capInsetsValue(options));
    }
    readColorProperties(context, widget, options);
}

void readLoadingBarProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    readCommonProperties(context, widget, options);
    auto* bar = static_cast<UILoadingBar*>(widget);
    if (context.olderVersion) {
        ResourceRef texture = olderResource(context, options, "texture");
        bar->loadTexture(texture.name.c_str(), texture.kind);
    } else {
        ResourceRef texture = newerResource(context, options, "textureData");
        bar->loadTexture(texture.name.c_str(), texture.kind);
        bool nineSlice = R::getBoolValue(options, "scale9Enable");
        bar->setNineSliceEnabled(nineSlice);
        if (nineSlice) {
            bar->setCapInsets(capInsetsValue(options));
            bar->setSize(
                engine::CCSize(R::getFloatValue(options, "width"), R::getFloatValue(options, "height")));
        }
    }
    bar->setDirection(R::getIntValue(options, "direction"));
    bar->setPercent(R::getIntValue(options, "percent"));
    readColorProperties(context, widget, options);
}

void readSliderProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    readCommonProperties(context, widget, options);
    auto* slider = static_cast<UISlider*>(widget);
    bool nineSlice = R::getBoolValue(options, "barTextureScale9Enable");
    slider->setNineSliceEnabled(nineSlice);
    // Both formats load the bar only when the older key is there.
    if (R::checkObjectExist(options, "barFileName")) {
        ResourceRef bar = resource(context, options, "barFileName", "barFileNameData");
        slider->loadBarTexture(bar.name.c_str(), bar.kind);
        if (nineSlice)
            slider->setSize(
                engine::CCSize(R::getFloatValue(options, "length"), slider->getContentSize().height));
    }
    if (context.olderVersion) {
        ResourceRef normal = olderResource(context, options, "ballNormal");
        ResourceRef pressed = olderResource(context, options, "ballPressed");
        ResourceRef disabled = olderResource(context, options, "ballDisabled");
        slider->loadThumbTextures(normal.name.c_str(), pressed.name.c_str(), disabled.name.c_str(),
                                  olderKind(options));
    } else {
        ResourceRef normal = newerResource(context, options, "ballNormalData");
        slider->loadThumbNormalTexture(normal.name.c_str(), normal.kind);
        ResourceRef pressed = newerResource(context, options, "ballPressedData");
        slider->loadThumbPressedTexture(pressed.name.c_str(), pressed.kind);
        ResourceRef disabled = newerResource(context, options, "ballDisabledData");
        slider->loadThumbDisabledTexture(disabled.name.c_str(), disabled.kind);
    }
    slider->setPercent(R::getIntValue(options, "percent"));
    ResourceRef progress = resource(context, options, "progressBarFileName", "progressBarData");
    slider->loadProgressTexture(progress.name.c_str(), progress.kind);
    readColorProperties(context, widget, options);
}

} // namespace gui::reader
