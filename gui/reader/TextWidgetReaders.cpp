// Readers for the text kinds: labels, text areas, label atlases, bitmap
// labels and text fields.
#include "gui/LayoutReader.h"
#include "gui/UILabel.h"
#include "gui/UILabelAtlas.h"
#include "gui/UILabelBMFont.h"
#include "gui/UITextField.h"
#include "gui/reader/PropertyDetail.h"
#include "gui/reader/PropertyReaders.h"

namespace gui::reader {

namespace {

using R = LayoutReader;

// "text", "fontSize" and "fontName" where present, as labels and fields share them.
template <class W> void readTextAndFont(W* widget, const Json::Value* options) {
    if (const char* text = R::getStringValue(options, "text")) widget->setText(text);
    if (hasNumber(options, "fontSize")) widget->setFontSize(R::getIntValue(options, "fontSize"));
    if (const char* font = R::getStringValue(options, "fontName")) widget->setFontName(font);
}

} // namespace

void readLabelProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    readCommonProperties(context, widget, options);
    auto* label = static_cast<UILabel*>(widget);
    label->setTouchScaleEnabled(R::getBoolValue(options, "touchScaleEnable"));
    readTextAndFont(label, options);
    label->setColor(colorValue(options, "colorR", "colorG", "colorB", 255));
    readColorProperties(context, widget, options);
}

void readTextAreaProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    readCommonProperties(context, widget, options);
    auto* label = static_cast<UILabel*>(widget);
    if (const char* text = R::getStringValue(options, "text")) label->setText(text);
    if (hasNumber(options, "fontSize")) label->setFontSize(R::getIntValue(options, "fontSize"));
    label->setColor(colorValue(options, "colorR", "colorG", "colorB", 255));
    if (const char* font = R::getStringValue(options, "fontName")) label->setFontName(font);
    if (hasNumber(options, "areaWidth") && hasNumber(options, "areaHeight"))
        label->setTextAreaSize(
            engine::CCSize(R::getFloatValue(options, "areaWidth"), R::getFloatValue(options, "areaHeight")));
    if (hasNumber(options, "hAlignment"))
        label->setTextHorizontalAlignment(R::getIntValue(options, "hAlignment"));
    if (hasNumber(options, "vAlignment"))
        label->setTextVerticalAlignment(R::getIntValue(options, "vAlignment"));
    readColorProperties(context, widget, options);
}

void readLabelAtlasProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    readCommonProperties(context, widget, options);
    auto* atlas = static_cast<UILabelAtlas*>(widget);
    const char* stringValue = R::getStringValue(options, "stringValue");
    const char* startCharMap = R::getStringValue(options, "startCharMap");
    // All five keys or nothing: a map without its cell size cannot be cut.
    if (stringValue && startCharMap && R::checkObjectExist(options, "charMapFile") &&
        hasNumber(options, "itemWidth") && hasNumber(options, "itemHeight")) {
        std::string mapFile =
            fileBesideLayout(context, options, "charMapFile", "charMapFileData", NamedResource::kPicture);
        if (!mapFile.empty())
            atlas->setProperty(stringValue, mapFile, R::getIntValue(options, "itemWidth"),
                               R::getIntValue(options, "itemHeight"), startCharMap);
    }
    readColorProperties(context, widget, options);
}

void readLabelBMFontProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    readCommonProperties(context, widget, options);
    auto* label = static_cast<UILabelBMFont*>(widget);
    std::string fontFile =
        fileBesideLayout(context, options, "fileName", "fileNameData", NamedResource::kBitmapFont);
    if (!fontFile.empty()) label->setFontFile(fontFile);
    if (const char* text = R::getStringValue(options, "text")) label->setText(text);
    readColorProperties(context, widget, options);
}

void readTextFieldProperties(const ReadContext& context, UIWidget* widget, const Json::Value* options) {
    readCommonProperties(context, widget, options);
    auto* field = static_cast<UITextField*>(widget);
    if (const char* placeholder = R::getStringValue(options, "placeHolder"))
        field->setPlaceHolder(placeholder);
    readTextAndFont(field, options);
    if (hasNumber(options, "touchSizeWidth") && hasNumber(options, "touchSizeHeight"))
        field->setTouchSize(engine::CCSize(R::getFloatValue(options, "touchSizeWidth"),
                                           R::getFloatValue(options, "touchSizeHeight")));
    bool limited = R::getBoolValue(options, "maxLengthEnable");
    field->setMaxLengthEnabled(limited);
    if (limited) field->setMaxLength(R::getIntValue(options, "maxLength"));
    bool password = R::getBoolValue(options, "passwordEnable");
    field->setPasswordEnabled(password);
    if (password) {
        if (const char* style = R::getStringValue(options, "passwordStyleText"))
            field->setPasswordStyleText(style);
    }
    readColorProperties(context, widget, options);
}

} // namespace gui::reader
