#include "book/SmallBook.h"

#include "book/BookContract.h"
#include "book/BookNames.h"
#include "engine/audio/NarrationCheck.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace booktest {

namespace {

std::string plist(const std::map<std::string, std::string>& entries) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>\n";
    for (const auto& [key, value] : entries)
        xml += "<key>" + key + "</key><string>" + value + "</string>\n";
    return xml + "</dict></plist>\n";
}

std::string file(const std::string& path) {
    return "{\"resourceType\":0,\"path\":\"" + path + "\"}";
}

std::string button(const std::string& name, const engine::CCPoint& at, const std::string& normal,
                   const std::string& pressed) {
    std::ostringstream out;
    out << "{\"classname\":\"Button\",\"children\":[],\"options\":{\"name\":\"" << name
        << "\",\"touchAble\":true,\"ignoreSize\":true,\"x\":" << at.x << ",\"y\":" << at.y
        << ",\"normalData\":" << file(normal) << ",\"pressedData\":" << file(pressed) << "}}";
    return out.str();
}

std::string panel(const std::string& name, const engine::CCPoint& at, float w, float h, bool coloured,
                  const std::string& children) {
    std::ostringstream out;
    out << "{\"classname\":\"Panel\",\"options\":{\"name\":\"" << name << "\",\"x\":" << at.x
        << ",\"y\":" << at.y << ",\"width\":" << w << ",\"height\":" << h
        << ",\"anchorPointX\":0,\"anchorPointY\":0";
    if (coloured)
        out << ",\"colorType\":1,\"bgColorR\":230,\"bgColorG\":230,\"bgColorB\":230,\"bgColorOpacity\":255";
    out << "},\"children\":[" << children << "]}";
    return out.str();
}

std::string document(const std::string& tree) {
    return "{\"version\":\"1.0.0.0\",\"designWidth\":640,\"designHeight\":960,\"widgetTree\":" + tree + "}";
}

// One spoken word, made once per test run and copied where books need it.
const std::string& spokenWord() {
    static std::string bytes = [] {
        if (std::system("command -v espeak-ng >/dev/null && command -v lame >/dev/null") != 0)
            return std::string();
        static testsupport::TempDir dir;
        std::string make = "cd '" + dir.path() +
                           "' && espeak-ng -w word.wav 'the sun is shining on the hill' 2>/dev/null && lame "
                           "--quiet word.wav word.mp3";
        if (std::system(make.c_str()) != 0) return std::string();
        std::ifstream in(dir.path() + "/word.mp3", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    return bytes;
}

} // namespace

void SmallBook::writeConfig(const std::map<std::string, std::string>& overrides) const {
    std::map<std::string, std::string> config{{"lirraSubName", "tb"}, {"pageMin", "1"}, {"pageMax", "5"},
                                              {"wordMin", "1"},       {"wordMax", "5"}, {"ispep", "false"},
                                              {"textsize", "30"}};
    for (const auto& [key, value] : overrides)
        if (value == "<none>")
            config.erase(key);
        else
            config[key] = value;
    m_view.resources().write("testLirra/StringConfig.xml", plist(config));
}

void SmallBook::writeInterfaceTexts() const {
    m_view.resources().write("String.xml", plist({{"main_page", "Home"},
                                                  {"setmenu_set", "Settings"},
                                                  {"bntext", "Touch a word"},
                                                  {"nopresenglish", "Touch a word to hear it"},
                                                  {"up_page", "Back"},
                                                  {"after_page", "More"}}));
}

void SmallBook::writeWordTexts(const std::map<std::string, std::string>& texts) const {
    m_view.resources().write("testLirra/Stringstr.xml", plist(texts));
}

engine::CCPoint SmallBook::homeButton(const std::string& name) {
    if (name == "bngoon") return {320, 700};
    if (name == "bnwordlean") return {320, 550};
    if (name == "bnselect") return {320, 400};
    return {320, 250};
}

void SmallBook::writeHomeLayout(const std::vector<std::string>& leaveOut) const {
    m_view.writeImage("mainpage/button.png", 200, 80, 0xff3070c0);
    m_view.writeImage("mainpage/button_down.png", 200, 80, 0xff204080);
    std::string children;
    for (const char* name : {"bngoon", "bnwordlean", "bnselect", "bnreturn"}) {
        bool skip = false;
        for (const auto& left : leaveOut)
            skip = skip || left == name;
        if (skip) continue;
        if (!children.empty()) children += ",";
        children += button(name, homeButton(name), "button.png", "button_down.png");
    }
    m_view.resources().write("mainpage/mainpage_1.json",
                             document(panel("home", {0, 0}, 640, 960, true, children)));
}

void SmallBook::writePage(int page, const std::vector<Word>& words) const {
    m_view.writeImage("testLirra/tb/word.png", 120, 50, kHotspotColour);
    m_view.writeImage("testLirra/tb/word_lit.png", 120, 50, kHighlightColour);
    std::string children;
    for (const Word& word : words) {
        std::string hotspot =
            button(book::hotspotName(page, word.index), word.position, "word.png", "word_lit.png");
        if (word.panelAt.x != 0 || word.panelAt.y != 0)
            hotspot = panel("inner", word.panelAt, 640, 100, false, hotspot);
        if (!children.empty()) children += ",";
        children += hotspot;
    }
    m_view.resources().write("testLirra/tb/tb_" + std::to_string(page) + ".json",
                             document(panel("page", {0, 0}, 640, 960, true, children)));
}

void SmallBook::writeImages() const {
    for (const char* name : {"up1", "up2", "next1", "next2", "play_btn", "pause_btn"})
        m_view.writeImage(std::string("Images/") + name + ".png", 64, 64, 0xff40a040);
    m_view.writeImage("Images/bnchback1.png", 60, 40, kBubbleColour, 3, 0xff000000);
    m_view.writeImage("Images/bnren1.png", 100, 40, 0xff00c0c0);
    m_view.writeImage("Images/bnren2.png", 100, 40, 0xffc000c0);
}

bool SmallBook::writeNarration(int tag, int page) const {
    const std::string& bytes = spokenWord();
    if (bytes.empty()) return false;
    m_view.resources().write(book::narrationPath("testLirra", book::soundName(tag, page)), bytes);
    return true;
}

bool SmallBook::writePageRecording(int page) const {
    const std::string& bytes = spokenWord();
    if (bytes.empty()) return false;
    m_view.resources().write(book::narrationPath("testLirra", book::pageRecordingName(page)), bytes);
    return true;
}

void SmallBook::writeReadAlong(const std::map<std::string, std::string>& entries) const {
    m_view.resources().write(book::readAlongFile("testLirra"), plist(entries));
}

double SmallBook::spokenSeconds() {
    return engine::narrationSeconds(spokenWord());
}

bool SmallBook::writeAll() {
    writeConfig();
    writeInterfaceTexts();
    writeHomeLayout();
    writeImages();
    writePage(1, {{1, {150, 600}, {}}, {2, {450, 600}, {}}, {5, {320, 300}, {}}});
    writePage(2, {{1, {200, 700}, {}}, {3, {320, -250}, {0, 400}}});
    writeWordTexts(
        {{"str011", "sun"}, {"str012", "moon"}, {"str015", "star"}, {"str021", "cat"}, {"str023", "dog"}});
    bool spoken = true;
    for (auto [page, index] : {std::pair{1, 1}, {1, 2}, {1, 5}, {2, 1}, {2, 3}})
        spoken = writeNarration(book::hotspotTag(page, index), page) && spoken;
    return spoken;
}

} // namespace booktest
