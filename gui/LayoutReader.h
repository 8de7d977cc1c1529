#pragma once
// Reads a widget layout file (JSON, as the layout editor writes it) and builds
// its widget tree.
//
// A document names its sprite sheets ("textures"), the design size it was made
// for, and the root widget node ("widgetTree"). Each node has "classname",
// "options" and "children". Two property formats exist: older documents name
// resources as plain strings beside "useMergedTexture", newer ones as "…Data"
// objects with "resourceType" and "path". "version" decides which one a
// document uses.
//
// Bad input never stops the program: a missing file answers none, text that
// does not parse is read as an object without keys, a value of the wrong type
// counts as missing, and a node of an unknown class is skipped with its
// subtree. The "animation" section goes to the shared ActionManager.
//
// Index (the source follows the same order):
//   shared instance .. instance, purge
//   reading .......... readLayoutFile, readLayoutData, readWidgetNode
//   typed accessors .. getIntValue ... checkObjectExist
//   version .......... versionWorth, isOlderVersionText
#include "engine/base/CCObject.h"
#include "gui/LayoutObserver.h"

#include <memory>
#include <string>

namespace Json {
class CharReader;
class Value;
} // namespace Json

namespace gui {

class UIWidget;

class LayoutReader : public engine::CCObject {
public:
    // JSON nesting that the parser accepts. jsoncpp parses recursively; this
    // keeps its stack use small on any thread. Deeper text does not parse.
    static constexpr int kJsonNestingLimit = 1000;
    // Widget levels that readWidgetNode builds; deeper subtrees are skipped
    // with one log line, so the engine's recursive passes stay shallow.
    static constexpr int kMaxWidgetDepth = 1000;
    // Widgets one file builds, and the area their pictures cover in pages of
    // 640 x 960 points: many times what a real page holds (a picture-book
    // page has some sixty widgets over two or three pages of pictures), far
    // below what makes a frame take seconds. Past either, the rest of the
    // file is left out with one log line.
    static constexpr int kMaxWidgets = 1000;
    static constexpr int kMaxPicturePages = 12;
    static constexpr double kMaxPictureArea = kMaxPicturePages * 640.0 * 960.0;

    // --- shared instance
    // Created on first use; UIToolkit::purgeToolkit destroys it.
    static LayoutReader* instance();
    static bool hasInstance();
    static void purge();

    // --- reading
    // The root widget of the file (autoreleased), or none. `fileName` is under
    // the resource root; resources of type file are looked up beside it.
    UIWidget* readLayoutFile(const std::string& fileName);
    // The same for a document already in memory; `fileName` names it in
    // messages and gives the folder that resources are looked up in.
    UIWidget* readLayoutData(const std::string& text, const std::string& fileName);
    // The widget of one node with its subtree (autoreleased), or none for a
    // node of an unknown class. Uses the folder and format of the file being
    // read (or of the last one read).
    UIWidget* readWidgetNode(const Json::Value* node);

    // Told of what the reads that follow load by name and of options they
    // pass over (not owned; none to stop; forgotten with the instance). A
    // tool that checks a book learns from it what the reader really uses,
    // rather than reading the JSON again.
    void setObserver(LayoutObserver* observer) { m_observer = observer; }

    // Folder of the file being read, ending in "/" (empty at the root).
    const std::string& getFilePath() const { return m_filePath; }
    bool isOlderVersion() const { return m_olderVersion; }

    // --- typed accessors
    // An absent object, or a value that is not an object, behaves as an
    // object without keys; a value of another type behaves as missing.
    // Integer and float take integer, unsigned, real and boolean values
    // (integers clamp to the int range); boolean only booleans; string only
    // strings.
    static int getIntValue(const Json::Value* object, const char* key, int defaultValue = 0);
    static float getFloatValue(const Json::Value* object, const char* key, float defaultValue = 0.0f);
    static bool getBoolValue(const Json::Value* object, const char* key, bool defaultValue = false);
    // The text (alive as long as the document), or none.
    static const char* getStringValue(const Json::Value* object, const char* key);
    // The value for an object, array or null value, else none. The answer
    // points into the document: it lives as long as the document does.
    static const Json::Value* getSubObject(const Json::Value* object, const char* key);
    static int getArrayCount(const Json::Value* object, const char* key);
    // Element `index` when it exists and is an object, else none.
    static const Json::Value* getObjectFromArray(const Json::Value* object, const char* key, int index);
    // Element `index` when it exists and is a string, else none.
    static const char* getStringFromArray(const Json::Value* object, const char* key, int index);
    static bool checkObjectExist(const Json::Value* object, const char* key);

    // --- version
    // a×1000 + b×100 + c×10 + d for "a.b.c.d"; a field that is missing or
    // has no leading digits counts 0.
    static long long versionWorth(const std::string& version);
    // Absent (none), shorter than 7 characters, or worth less than 250.
    static bool isOlderVersionText(const char* version);

    ~LayoutReader() override;

private:
    LayoutReader();
    // The parsed document; an object without keys when the text does not parse.
    void parseDocument(const std::string& text, const std::string& fileName, Json::Value& document);
    UIWidget* buildDocument(const Json::Value& document, const std::string& fileName);

    std::string m_filePath;
    bool m_olderVersion = false;
    std::string m_fileName; // the file being read (or last read), for log lines
    std::unique_ptr<Json::CharReader> m_parser;
    LayoutObserver* m_observer = nullptr;
};

} // namespace gui
