// lirra-check on a small book's read-along table: a sound table passes, and
// each fault of an entry is named with its page, word and key.
#include "book/BookContract.h"
#include "book/BookNames.h"
#include "support/HeadlessView.h"
#include "tools/checker/BookChecker.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace {

// A spoken sentence of about two seconds, made once per run.
const std::string& speech() {
    static const std::string bytes = [] {
        static testsupport::TempDir dir;
        const std::string make = "cd '" + dir.path() +
                                 "' && command -v espeak-ng >/dev/null && command -v lame >/dev/null && "
                                 "espeak-ng -w s.wav 'a fox and a hen sat in the sun' 2>/dev/null && "
                                 "lame --quiet s.wav s.mp3";
        if (std::system(make.c_str()) != 0) return std::string();
        std::ifstream in(dir.path() + "/s.mp3", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    return bytes;
}

std::string plist(const std::map<std::string, std::string>& entries) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>\n";
    for (const auto& [key, value] : entries)
        xml += "<key>" + key + "</key><string>" + value + "</string>\n";
    return xml + "</dict></plist>\n";
}

std::string layout(const std::string& children) {
    return R"({"version": "1.2.0.0", "designWidth": 640, "designHeight": 960,
               "widgetTree": {"classname": "Panel", "options": {"name": "root"}, "children": [)" +
           children + "]}}";
}

std::string buttons(const std::vector<std::string>& names) {
    std::string json;
    for (const std::string& name : names)
        json += (json.empty() ? "" : ",") + (R"({"classname": "Button", "options": {"name": ")" + name +
                                             R"(", "width": 10, "height": 10}})");
    return json;
}

// One page of two words, each with text and narration, read along from one recording.
class ReadAlongCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(view.isOpen());
        if (speech().empty()) GTEST_SKIP() << "needs espeak-ng and lame";
        std::map<std::string, std::string> texts;
        for (const char* key : book::interfaceText::kAll)
            texts[key] = "text";
        write(book::kInterfaceTextsFile, plist(texts));
        write(book::configurationFile("testLirra"), plist({{book::configKey::kSubName, "pip"},
                                                           {book::configKey::kPageMin, "1"},
                                                           {book::configKey::kPageMax, "1"},
                                                           {book::configKey::kWordMin, "1"},
                                                           {book::configKey::kWordMax, "1"},
                                                           {book::configKey::kIspep, "false"},
                                                           {book::configKey::kTextSize, "25"}}));
        write(book::wordTextsFile("testLirra"), plist({{"str011", "fox"}, {"str012", "hen"}}));
        for (const std::string& image : book::pageControlImages(false))
            view.writeImage(image, 8, 8, 0xFF336699);
        write(book::kHomeLayoutFile,
              layout(buttons({std::begin(book::kHomeButtonNames), std::end(book::kHomeButtonNames)})));
        write(book::kSettingsLayoutFile, layout(buttons({std::begin(book::kSettingsButtonNames),
                                                         std::end(book::kSettingsButtonNames)})));
        write(book::pageLayoutPath("testLirra", "pip", 1),
              layout(buttons({book::hotspotName(1, 1), book::hotspotName(1, 2)})));
        for (int tag : {11, 12})
            write(book::narrationPath("testLirra", book::soundName(tag, 1)), speech());
        write(recording(), speech());
    }

    void write(const std::string& name, const std::string& text) { view.resources().write(name, text); }
    static std::string recording() { return book::narrationPath("testLirra", book::pageRecordingName(1)); }
    static std::string table() { return book::readAlongFile("testLirra"); }
    // The table with `changes` over a sound entry ("<none>" removes a key); answers the report.
    std::string checkTable(const std::map<std::string, std::string>& changes) {
        std::map<std::string, std::string> entries{
            {"pg01", "2"}, {"rd011", "0.25 0.61"}, {"rd012", "0.7 1.2"}};
        for (const auto& [key, value] : changes)
            if (value == "<none>")
                entries.erase(key);
            else
                entries[key] = value;
        write(table(), plist(entries));
        return check();
    }
    std::string check() {
        checker = checker::BookChecker(); // each check on its own
        checker.check(view.resources().path());
        return checker.report();
    }
    ::testing::AssertionResult finds(const std::string& what, bool warning = false) const {
        for (const checker::Problem& problem : checker.problems())
            if (problem.file == table() && problem.warning == warning &&
                problem.what.find(what) != std::string::npos)
                return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "no " << (warning ? "warning" : "error") << " with: " << what << "\n"
               << checker.report();
    }

    testsupport::HeadlessView view;
    checker::BookChecker checker;
};

} // namespace

TEST_F(ReadAlongCheckTest, ASoundTableAndNoTableBothPass) {
    std::string report = checkTable({});
    EXPECT_TRUE(checker.problems().empty()) << report;
    std::filesystem::remove(view.resources().path() + "/" + table());
    report = checkTable({{"pg01", "<none>"}, {"rd011", "<none>"}, {"rd012", "<none>"}});
    EXPECT_TRUE(checker.problems().empty()) << report;
}

TEST_F(ReadAlongCheckTest, EachFaultOfAnEntryIsNamed) {
    const std::pair<std::map<std::string, std::string>, std::string> faults[] = {
        {{{"rd012", "0.20 1.2"}},
         "page 1: word 2 (\"rd012\") starts at 0.200 s, not after word 1 at 0.250 s"},
        {{{"rd012", "1.2 0.7"}},
         "page 1: word 2 (\"rd012\") ends at 0.700 s, not after its start at 1.200 s"},
        {{{"rd012", "0.7 60"}}, "page 1: word 2 (\"rd012\") ends at 60.000 s, past the end of the"},
        {{{"rd011", "-0.1 0.6"}}, "word 1 (\"rd011\") starts at -0.100 s, before the recording"},
        {{{"rd011", "0.25"}}, "the times of word 1 (\"rd011\") are \"0.25\", not \"START END\""},
        {{{"rd011", "<none>"}}, "no times for word 1 (\"rd011\")"},
        {{{"pg01", "1"}}, "hotspot bn012 (word 2) has no times"},
        {{{"pg01", "3"}, {"rd013", "1.3 1.4"}}, "word 3 has times but the page has no hotspot bn013"},
        {{{"pg01", "two"}}, "\"pg01\" is \"two\", not a count of words from 1 to 49"},
    };
    for (const auto& [change, named] : faults) {
        checkTable(change);
        EXPECT_TRUE(finds(named));
        EXPECT_EQ(checker.exitStatus(), 1);
    }

    checkTable({{"rd021", "0.1 0.2"}});
    EXPECT_TRUE(finds("\"rd021\" belongs to no page's read-along entry", true));
    EXPECT_EQ(checker.errorCount(), 0) << checker.report();

    write(table(), "<plist><dict><key>pg01</key>");
    check();
    EXPECT_TRUE(finds("the read-along table cannot be used"));
}

TEST_F(ReadAlongCheckTest, TheRecordingIsCheckedAsNarration) {
    std::filesystem::remove(view.resources().path() + "/" + recording());
    checkTable({});
    EXPECT_TRUE(finds("no narration " + recording() + " for the recording of page 1, sound name pg01.mp3"));
    EXPECT_EQ(checker.report().find("is missing"), std::string::npos) << "named twice: " << checker.report();

    // A WAV saved under the recording's name.
    write(recording(), "RIFF\x24\0\0\0WAVEfmt " + std::string(64, '\x7f'));
    checkTable({});
    EXPECT_TRUE(finds("the narration " + recording() + " of the recording of page 1"));
}
