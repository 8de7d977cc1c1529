#include "gui/LayoutReader.h"

#include "engine/base/CCLog.h"
#include "engine/director/CCDirector.h"
#include "engine/platform/CCFileUtils.h"
#include "gui/UIToolkit.h"
#include "gui/UIWidget.h"
#include "gui/action/ActionManager.h"
#include "gui/reader/ClassTable.h"
#include "gui/reader/PropertyReaders.h"

#include <json/json.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <vector>

namespace gui {

namespace {

LayoutReader* g_instance = nullptr;

// The folder part of a name under the resource root, ending in "/". Resource
// names in the document are relative to it, and so stay under the root.
std::string folderOf(const std::string& fileName) {
    std::optional<std::string> normal = engine::CCFileUtils::normalizeName(fileName);
    if (!normal) return std::string();
    std::string::size_type slash = normal->rfind('/');
    return slash == std::string::npos ? std::string() : normal->substr(0, slash + 1);
}

const Json::Value* member(const Json::Value* object, const char* key) {
    if (!object || !key || !object->isObject()) return nullptr;
    return object->find(key, key + std::strlen(key));
}

const Json::Value* element(const Json::Value* object, const char* key, int index) {
    const Json::Value* array = member(object, key);
    if (!array || !array->isArray() || index < 0 || static_cast<Json::ArrayIndex>(index) >= array->size())
        return nullptr;
    return &(*array)[static_cast<Json::ArrayIndex>(index)];
}

template <class Int> int clampToInt(Int value) {
    if (value > static_cast<Int>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if constexpr (std::numeric_limits<Int>::is_signed) {
        if (value < static_cast<Int>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

// jsoncpp's asInt throws for values outside the int range; clamp instead.
int toInt(const Json::Value& value) {
    switch (value.type()) {
    case Json::intValue:
        return clampToInt(value.asInt64());
    case Json::uintValue:
        return clampToInt(value.asUInt64());
    case Json::booleanValue:
        return value.asBool() ? 1 : 0;
    case Json::realValue: {
        double real = value.asDouble();
        if (std::isnan(real)) return 0;
        if (real >= static_cast<double>(std::numeric_limits<int>::max()))
            return std::numeric_limits<int>::max();
        if (real <= static_cast<double>(std::numeric_limits<int>::min()))
            return std::numeric_limits<int>::min();
        return static_cast<int>(real);
    }
    default:
        return 0;
    }
}

bool isNumberLike(const Json::Value& value) {
    Json::ValueType type = value.type();
    return type == Json::intValue || type == Json::uintValue || type == Json::realValue ||
           type == Json::booleanValue;
}

// The reader's two fixed messages go to standard output, as tools expect them.
void printOut(const char* format, const std::string& fileName) {
    std::printf(format, fileName.c_str());
    std::fflush(stdout);
}

} // namespace

// --- shared instance

LayoutReader::LayoutReader() {
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    builder["stackLimit"] = kJsonNestingLimit;
    m_parser.reset(builder.newCharReader());
}

LayoutReader::~LayoutReader() = default;

LayoutReader* LayoutReader::instance() {
    if (!g_instance) {
        g_instance = new LayoutReader();
        UIToolkit::addPurgeHook(&LayoutReader::purge);
    }
    return g_instance;
}

bool LayoutReader::hasInstance() {
    return g_instance != nullptr;
}

void LayoutReader::purge() {
    LayoutReader* reader = g_instance;
    g_instance = nullptr;
    if (reader) reader->release();
}

// --- reading

UIWidget* LayoutReader::readLayoutFile(const std::string& fileName) {
    m_olderVersion = false;
    m_fileName = fileName;
    engine::CCFileUtils::ReadError error = engine::CCFileUtils::ReadError::None;
    std::optional<std::string> text = engine::CCFileUtils::sharedFileUtils()->getFileData(
        fileName, &error, engine::CCFileUtils::FileKind::Layout);
    if (!text || text->empty()) {
        if (error == engine::CCFileUtils::ReadError::Missing)
            engine::CCLog("LayoutReader: layout file %s not found", fileName.c_str());
        else if (error == engine::CCFileUtils::ReadError::Unreadable)
            engine::CCLog("LayoutReader: layout file %s cannot be read", fileName.c_str());
        else if (text)
            engine::CCLog("LayoutReader: layout file %s is empty", fileName.c_str());
        printOut("read json file[%s] error!\n", fileName);
        return nullptr;
    }
    return readLayoutData(*text, fileName);
}

UIWidget* LayoutReader::readLayoutData(const std::string& text, const std::string& fileName) {
    m_olderVersion = false;
    m_fileName = fileName;
    if (text.empty()) {
        engine::CCLog("LayoutReader: layout file %s is empty", fileName.c_str());
        printOut("read json file[%s] error!\n", fileName);
        return nullptr;
    }
    Json::Value document(Json::objectValue);
    parseDocument(text, fileName, document);
    return buildDocument(document, fileName);
}

void LayoutReader::parseDocument(const std::string& text, const std::string& fileName,
                                 Json::Value& document) {
    std::string errors;
    bool parsed = false;
    try {
        parsed = m_parser->parse(text.data(), text.data() + text.size(), &document, &errors);
    } catch (const Json::Exception& exception) {
        // jsoncpp throws rather than reports for nesting beyond its limit.
        errors = exception.what();
    } catch (const std::exception& exception) {
        errors = exception.what();
    }
    if (!parsed) {
        std::string::size_type end = errors.find('\n');
        engine::CCLog("LayoutReader: %s is not valid JSON (%s); read as a document without keys",
                      fileName.c_str(), errors.substr(0, end).c_str());
        document = Json::Value(Json::objectValue);
    } else if (!document.isObject()) {
        engine::CCLog("LayoutReader: %s does not hold a JSON object; read as a document without keys",
                      fileName.c_str());
        document = Json::Value(Json::objectValue);
    }
}

UIWidget* LayoutReader::buildDocument(const Json::Value& document, const std::string& fileName) {
    m_olderVersion = isOlderVersionText(getStringValue(&document, "version"));
    m_filePath = folderOf(fileName);

    UIToolkit* toolkit = UIToolkit::getInstance();
    int sheetCount = getArrayCount(&document, "textures");
    for (int i = 0; i < sheetCount; ++i) {
        const char* sheet = getStringFromArray(&document, "textures", i);
        if (!sheet || !*sheet) continue;
        if (m_observer)
            m_observer->resourceNamed({NamedResource::kSpriteSheet, "textures", m_filePath + sheet});
        toolkit->addSpriteSheet(m_filePath + sheet);
    }

    float designWidth = getFloatValue(&document, "designWidth");
    float designHeight = getFloatValue(&document, "designHeight");
    // Also refuses NaN and infinity (jsoncpp reads 1e999 as infinity).
    if (!(designWidth > 0 && designHeight > 0) || !std::isfinite(designWidth) ||
        !std::isfinite(designHeight)) {
        std::printf("Read design size error!\n");
        std::fflush(stdout);
        engine::CCLog("LayoutReader: %s has no usable design size; the window size is used",
                      fileName.c_str());
        engine::CCSize winSize = engine::CCDirector::sharedDirector()->getWinSize();
        designWidth = winSize.width;
        designHeight = winSize.height;
    }
    toolkit->setFileDesignWidth(designWidth);
    toolkit->setFileDesignHeight(designHeight);

    const Json::Value* tree = member(&document, "widgetTree");
    UIWidget* root = tree ? readWidgetNode(tree) : nullptr;
    if (!tree) engine::CCLog("LayoutReader: %s has no \"widgetTree\"; no widgets read", fileName.c_str());
    // Tracks bind to the widgets of this tree (none when no tree was built).
    ActionManager::instance()->readAnimations(fileName, getSubObject(&document, "animation"), root);
    if (!root) {
        return nullptr; // the node's class was logged
    }
    // A root saved without a size fills the screen it was designed for. The
    // design size in use also covers a file without one, where the file's own
    // values would give an empty or negative size.
    engine::CCSize content = root->getContentSize();
    if (content.width == 0 && content.height == 0) root->setSize(engine::CCSize(designWidth, designHeight));
    return root;
}

namespace {

// The design points a widget's picture covers, scale included; none for
// widgets that draw no picture of their own (panels, text).
double pictureAreaOf(const UIWidget* widget) {
    static const char* const kinds[] = {"ImageView", "Button", "CheckBox", "LoadingBar", "Slider"};
    const char* kind = widget->getKindName();
    if (std::none_of(std::begin(kinds), std::end(kinds),
                     [kind](const char* k) { return std::strcmp(k, kind) == 0; }))
        return 0;
    const engine::CCSize size = widget->getContentSize();
    const double area =
        std::fabs(static_cast<double>(size.width) * size.height * widget->getScaleX() * widget->getScaleY());
    return std::isfinite(area) ? area : std::numeric_limits<double>::max();
}

} // namespace

UIWidget* LayoutReader::readWidgetNode(const Json::Value* node) {
    reader::ReadContext context{m_filePath, m_olderVersion, m_fileName, m_observer};

    // Depth-first with an explicit stack: files may nest far deeper than the
    // call stack would allow. A widget gets its properties before it joins its
    // parent, and siblings join in array order.
    struct Pending {
        const Json::Value* node;
        UIWidget* parent; // none for the root
        int depth;
    };
    std::vector<Pending> pending{{node, nullptr, 1}};
    UIWidget* root = nullptr;
    bool reportedDepth = false;
    // Every widget costs each frame: a page of thousands, or of pictures that
    // cover the page many times over, would take seconds a frame.
    int widgets = 0;
    double pictureArea = 0;
    bool reportedCrowd = false;
    while (!pending.empty()) {
        Pending item = pending.back();
        pending.pop_back();
        if (item.depth > kMaxWidgetDepth) {
            if (!reportedDepth)
                engine::CCLog("LayoutReader: %s: widgets nested deeper than %d levels skipped",
                              m_fileName.c_str(), kMaxWidgetDepth);
            reportedDepth = true;
            continue;
        }
        if (widgets == kMaxWidgets || pictureArea >= kMaxPictureArea) {
            if (!reportedCrowd)
                engine::CCLog(
                    widgets == kMaxWidgets
                        ? "LayoutReader: %s: more than %d widgets; the rest are left out"
                        : "LayoutReader: %s: pictures over more than %d times the page's area; the rest "
                          "are left out",
                    m_fileName.c_str(), widgets == kMaxWidgets ? kMaxWidgets : kMaxPicturePages);
            reportedCrowd = true;
            continue;
        }
        UIWidget* widget = reader::createWidgetForNode(context, item.node);
        if (!widget) continue;
        ++widgets;
        pictureArea += pictureAreaOf(widget);
        if (item.parent)
            item.parent->addChild(widget);
        else
            root = widget;
        int count = getArrayCount(item.node, "children");
        for (int i = count - 1; i >= 0; --i) {
            const Json::Value* child = getObjectFromArray(item.node, "children", i);
            if (child)
                pending.push_back({child, widget, item.depth + 1});
            else
                engine::CCLog("LayoutReader: %s: child %d of a \"%s\" node is not an object; skipped",
                              m_fileName.c_str(), i, widget->getKindName());
        }
    }
    return root;
}

// --- typed accessors

int LayoutReader::getIntValue(const Json::Value* object, const char* key, int defaultValue) {
    const Json::Value* value = member(object, key);
    return value && isNumberLike(*value) ? toInt(*value) : defaultValue;
}

float LayoutReader::getFloatValue(const Json::Value* object, const char* key, float defaultValue) {
    const Json::Value* value = member(object, key);
    if (!value || !isNumberLike(*value)) return defaultValue;
    float result = value->isBool() ? (value->asBool() ? 1.0f : 0.0f) : static_cast<float>(value->asDouble());
    // Beyond the float range is no usable size or position.
    return std::isfinite(result) ? result : defaultValue;
}

bool LayoutReader::getBoolValue(const Json::Value* object, const char* key, bool defaultValue) {
    const Json::Value* value = member(object, key);
    return value && value->isBool() ? value->asBool() : defaultValue;
}

const char* LayoutReader::getStringValue(const Json::Value* object, const char* key) {
    const Json::Value* value = member(object, key);
    return value && value->isString() ? value->asCString() : nullptr;
}

const Json::Value* LayoutReader::getSubObject(const Json::Value* object, const char* key) {
    const Json::Value* value = member(object, key);
    return value && (value->isObject() || value->isArray() || value->isNull()) ? value : nullptr;
}

int LayoutReader::getArrayCount(const Json::Value* object, const char* key) {
    const Json::Value* value = member(object, key);
    return value && value->isArray() ? clampToInt(value->size()) : 0;
}

const Json::Value* LayoutReader::getObjectFromArray(const Json::Value* object, const char* key, int index) {
    const Json::Value* value = element(object, key, index);
    return value && value->isObject() ? value : nullptr;
}

const char* LayoutReader::getStringFromArray(const Json::Value* object, const char* key, int index) {
    const Json::Value* value = element(object, key, index);
    return value && value->isString() ? value->asCString() : nullptr;
}

bool LayoutReader::checkObjectExist(const Json::Value* object, const char* key) {
    return member(object, key) != nullptr;
}

// --- version

long long LayoutReader::versionWorth(const std::string& version) {
    static const long long weights[4] = {1000, 100, 10, 1};
    long long worth = 0;
    std::string::size_type start = 0;
    for (long long weight : weights) {
        long long field = 0;
        // Capped, so an absurd field cannot overflow the sum.
        for (std::string::size_type i = start; i < version.size() && version[i] >= '0' && version[i] <= '9';
             ++i)
            field = std::min(field * 10 + (version[i] - '0'), 1000000000LL);
        worth += field * weight;
        std::string::size_type dot = version.find('.', start);
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return worth;
}

bool LayoutReader::isOlderVersionText(const char* version) {
    if (!version) return true;
    std::string text(version);
    return text.size() < 7 || versionWorth(text) < 250;
}

} // namespace gui
