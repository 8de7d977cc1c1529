// lirra-check's rules on small books written here: a ready book passes, and
// each damage is named on the file it concerns. The names and limits come
// from the book contract and what the layouts name from the reader itself,
// so these also catch the checker drifting from the reader.
#include "tools/checker/BookChecker.h"
#include "book/BookContract.h"
#include "book/BookNames.h"
#include "support/HeadlessView.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using testsupport::HeadlessView;

std::string plist(const std::string& entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" + entries +
           "</dict>\n</plist>\n";
}

std::string entry(const std::string& key, const std::string& value) {
    return "<key>" + key + "</key><string>" + value + "</string>\n";
}

std::string button(const std::string& name) {
    return R"({"classname": "Button", "options": {"name": ")" + name + R"(", "width": 10, "height": 10}})";
}

// A layout whose root panel holds `children` (JSON objects, comma separated).
std::string layout(const std::string& children, const std::string& version = "1.2.0.0") {
    return R"({"version": ")" + version + R"(", "designWidth": 640, "designHeight": 960,
               "widgetTree": {"classname": "Panel", "options": {"name": "root"}, "children": [)" +
           children + "]}}";
}

// Packs every file under `folder` into the archive `out`, plus `extra` entries.
// `store` leaves the entries uncompressed, so that a test can find their bytes.
void pack(const std::string& folder, const std::string& out,
          const std::vector<std::pair<std::string, std::string>>& extra = {}, bool store = false) {
    int code = 0;
    zip* archive = zip_open(out.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(archive, nullptr);
    std::vector<std::pair<std::string, std::string>> files = extra;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        if (!item.is_regular_file()) continue;
        std::ifstream in(item.path(), std::ios::binary);
        files.emplace_back(std::filesystem::relative(item.path(), folder).string(),
                           std::string(std::istreambuf_iterator<char>(in), {}));
    }
    for (const auto& [name, data] : files) {
        zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
        const zip_int64_t at = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(at, 0) << name;
        if (store) zip_set_file_compression(archive, static_cast<zip_uint64_t>(at), ZIP_CM_STORE, 0);
    }
    ASSERT_EQ(zip_close(archive), 0); // copies the data, which `files` still holds
}

class BookCheckerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(view.isOpen());
        std::string texts;
        for (const char* key : book::interfaceText::kAll)
            texts += entry(key, "text");
        write(book::kInterfaceTextsFile, plist(texts));
        write(book::configurationFile("testLirra"),
              plist(entry(book::configKey::kSubName, "pip") + entry(book::configKey::kPageMin, "1") +
                    entry(book::configKey::kPageMax, "1") + entry(book::configKey::kWordMin, "-1") +
                    entry(book::configKey::kWordMax, "-1") + entry(book::configKey::kIspep, "false") +
                    entry(book::configKey::kTextSize, "25")));
        write(book::wordTextsFile("testLirra"), plist(""));
        for (const std::string& image : book::pageControlImages(false))
            view.writeImage(image, 8, 8, 0xFF336699);
        std::string home;
        for (const char* name : book::kHomeButtonNames)
            home += (home.empty() ? "" : ",") + button(name);
        write(book::kHomeLayoutFile, layout(home));
        std::string settings;
        for (const char* name : book::kSettingsButtonNames)
            settings += (settings.empty() ? "" : ",") + button(name);
        write(book::kSettingsLayoutFile, layout(settings));
        view.writeImage("testLirra/pip/page_1.png", 8, 8, 0xFFFFFFFF);
        writePage(R"({"classname": "ImageView", "options": {"fileNameData": {"resourceType": 0,
                     "path": "page_1.png"}}})");
    }

    void write(const std::string& name, const std::string& text) { view.resources().write(name, text); }
    void writePage(const std::string& children, const std::string& version = "1.2.0.0") {
        write(book::pageLayoutPath("testLirra", "pip", 1), layout(children, version));
    }

    // Checks the book; answers the report.
    std::string check() {
        checker.check(view.resources().path());
        return checker.report();
    }

    // Whether a finding on `file` says `what` (in part).
    ::testing::AssertionResult finds(const std::string& file, const std::string& what) const {
        for (const checker::Problem& problem : checker.problems())
            if (problem.file == file && problem.what.find(what) != std::string::npos)
                return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "no finding on " << file << " with: " << what << "\n"
                                             << checker.report();
    }

    HeadlessView view;
    checker::BookChecker checker;
};

TEST_F(BookCheckerTest, SmallBookIsReady) {
    std::string report = check();
    EXPECT_TRUE(checker.problems().empty()) << report;
    EXPECT_EQ(checker.exitStatus(), 0);
}

TEST_F(BookCheckerTest, ABookFileIsCheckedAsItsFolderAndItsRefusedEntriesAreNamed) {
    testsupport::TempDir out;
    const std::string packed = out.path() + "/book.lirra";
    pack(view.resources().path(), packed);
    checker.check(packed);
    EXPECT_TRUE(checker.problems().empty()) << checker.report();
    EXPECT_EQ(checker.exitStatus(), 0);

    std::filesystem::remove(view.resources().path() + "/" + book::pageLayoutPath("testLirra", "pip", 1));
    pack(view.resources().path(), packed, {{"../escape.txt", "x"}});
    checker.check(packed);
    EXPECT_TRUE(finds(packed, "refusing entry '../escape.txt'"));
    EXPECT_TRUE(finds(book::pageLayoutPath("testLirra", "pip", 1), "missing"));
    EXPECT_EQ(checker.exitStatus(), 1);

    const std::string text = out.write("text.lirra", "not an archive");
    checker.check(text);
    EXPECT_TRUE(finds(text, "not a ZIP archive"));
    EXPECT_EQ(checker.exitStatus(), 2);
}

TEST_F(BookCheckerTest, MissingHomeLayoutOrButtonIsNamed) {
    std::filesystem::remove(view.resources().path() + "/" + book::kHomeLayoutFile);
    check();
    EXPECT_TRUE(finds(book::kHomeLayoutFile, "the layout is missing"));
    EXPECT_EQ(checker.exitStatus(), 1);

    write(book::kHomeLayoutFile, layout(button(book::kHomeButtonNames[book::kExitButton])));
    check();
    EXPECT_TRUE(finds(book::kHomeLayoutFile, "no widget named \"bngoon\""));
    EXPECT_FALSE(finds(book::kHomeLayoutFile, "no widget named \"bnreturn\""));
}

TEST_F(BookCheckerTest, HotspotsAreCheckedUpToTheLastThePageBinds) {
    const int last = book::kLastHotspotIndex;
    writePage(button(book::hotspotName(1, last)) + "," + button(book::hotspotName(1, last + 1)));
    check();
    const std::string page = book::pageLayoutPath("testLirra", "pip", 1);
    const std::string bound = book::hotspotName(1, last), unbound = book::hotspotName(1, last + 1);
    EXPECT_TRUE(finds(page, "no narration"));
    EXPECT_TRUE(finds(book::wordTextsFile("testLirra"), "for the hotspot " + bound));
    EXPECT_EQ(checker.report().find("hotspot " + unbound), std::string::npos) << checker.report();
}

TEST_F(BookCheckerTest, UnknownClassIsReportedAndItsPicturesAreNotDemanded) {
    writePage(R"({"classname": "Gizmo", "options": {}, "children": [{"classname": "ImageView",
                 "options": {"fileNameData": {"resourceType": 0, "path": "never.png"}}}]})");
    check();
    const std::string page = book::pageLayoutPath("testLirra", "pip", 1);
    EXPECT_TRUE(finds(page, "unknown class \"Gizmo\""));
    // The reader never builds the subtree, so it never loads its picture.
    EXPECT_EQ(checker.report().find("never.png"), std::string::npos) << checker.report();
}

TEST_F(BookCheckerTest, MissingPictureIsNamedInEitherFormat) {
    const std::string page = book::pageLayoutPath("testLirra", "pip", 1);
    writePage(
        R"({"classname": "Button", "options": {"normalData": {"resourceType": 0, "path": "gone.png"}}})");
    check();
    EXPECT_TRUE(finds(page, "the picture testLirra/pip/gone.png is missing"));

    // The older format names files under plain keys; without "version" a
    // layout is read in it.
    writePage(R"({"classname": "ImageView", "options": {"fileName": "old.png"}})", "");
    check();
    EXPECT_TRUE(finds(page, "the picture testLirra/pip/old.png is missing"));

    writePage(R"({"classname": "ImageView", "options": {"useMergedTexture": true, "fileName": "frame.png"}})",
              "");
    check();
    EXPECT_TRUE(finds(page, "\"fileName\" names the sprite frame \"frame.png\""));
}

TEST_F(BookCheckerTest, OnlyWhatTheReaderLoadsIsDemanded) {
    // A slider loads its bar only where the older key is present, and a
    // label atlas its map only with all five of its keys.
    writePage(
        R"({"classname": "Slider", "options": {"barFileNameData": {"resourceType": 0, "path": "bar.png"}}},
                 {"classname": "LabelAtlas", "options": {"charMapFileData": {"resourceType": 0,
                  "path": "digits.png"}}})");
    check();
    EXPECT_TRUE(checker.problems().empty()) << checker.report();

    writePage(R"({"classname": "LabelAtlas", "options": {"stringValue": "12", "startCharMap": "0",
                 "itemWidth": 8, "itemHeight": 8, "charMapFile": "",
                 "charMapFileData": {"resourceType": 0, "path": "digits.png"}}})");
    check();
    EXPECT_TRUE(finds(book::pageLayoutPath("testLirra", "pip", 1),
                      "the picture testLirra/pip/digits.png is missing"));
}

TEST_F(BookCheckerTest, OptionsThatAreNotAnObjectAreAWarning) {
    writePage(R"({"classname": "ImageView", "options": [1, 2]})");
    check();
    EXPECT_TRUE(
        finds(book::pageLayoutPath("testLirra", "pip", 1), "the \"options\" of a \"ImageView\" widget"));
    EXPECT_EQ(checker.errorCount(), 0) << checker.report();
    EXPECT_EQ(checker.exitStatus(), 0);
}

} // namespace

TEST_F(BookCheckerTest, OneFaultIsOneFindingWithItsRealReason) {
    // A broken picture that six home buttons name, and a font file beyond
    // its size limit (sparse: it costs no disk), each found once.
    write("mainpage/button.png", "not a picture");
    std::string home;
    for (const char* name : book::kHomeButtonNames)
        home += std::string(home.empty() ? "" : ",") + R"({"classname": "Button", "options": {"name": ")" +
                name + R"(", "normalData": {"resourceType": 0, "path": "button.png"}}})";
    home +=
        R"(, {"classname": "Label", "options": {"text": "Hi", "fontName": "fonts/big.ttf", "fontSize": 20}})";
    write(book::kHomeLayoutFile, layout(home));
    write("fonts/big.ttf", "");
    std::filesystem::resize_file(view.resources().path() + "/fonts/big.ttf", 65 * 1024 * 1024);
    check();
    auto count = [this](const std::string& fragment) {
        int found = 0;
        for (const checker::Problem& problem : checker.problems())
            found += problem.what.find(fragment) != std::string::npos;
        return found;
    };
    EXPECT_EQ(count("button.png"), 1) << checker.report();
    EXPECT_TRUE(finds(book::kHomeLayoutFile, "the picture mainpage/button.png does not decode"));
    EXPECT_EQ(count("big.ttf"), 1) << checker.report();
    EXPECT_TRUE(finds(book::kHomeLayoutFile, "beyond the limit of 64 MB for a font"));

    // In an archive: a word table and a narration whose bytes no longer
    // match their CRC are named for it, and the words without a table are
    // not each reported again.
    std::filesystem::remove(view.resources().path() + "/fonts/big.ttf");
    std::filesystem::remove(view.resources().path() + "/mainpage/button.png");
    std::string words;
    for (int index = 1; index <= 3; ++index)
        words += std::string(words.empty() ? "" : ",") + button(book::hotspotName(1, index));
    writePage(words);
    write(book::wordTextsFile("testLirra"),
          plist(entry(book::textKey(book::hotspotTag(1, 1), 1), "WORDTEXTONE") +
                entry(book::textKey(book::hotspotTag(1, 2), 1), "two")));
    const std::string sound = book::narrationPath("testLirra", book::soundName(book::hotspotTag(1, 1), 1));
    write(sound, "NARRATIONBYTES" + std::string(400, 'x'));
    testsupport::TempDir out;
    const std::string packed = out.path() + "/book.lirra";
    pack(view.resources().path(), packed, {}, true);
    std::ifstream in(packed, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    for (const char* mark : {"WORDTEXTONE", "NARRATIONBYTES"}) {
        const size_t at = bytes.find(mark);
        ASSERT_NE(at, std::string::npos) << mark;
        bytes[at] = 'w';
    }
    std::ofstream(packed, std::ios::binary | std::ios::trunc) << bytes;
    checker.check(packed);
    EXPECT_TRUE(
        finds(book::wordTextsFile("testLirra"), "the word texts cannot be used: is damaged: CRC error"));
    EXPECT_EQ(count("no text"), 0) << checker.report();
    const std::string page = book::pageLayoutPath("testLirra", "pip", 1);
    EXPECT_TRUE(finds(page, "the narration " + sound + " of the hotspot " + book::hotspotName(1, 1) +
                                " (page 1 word 1), sound name " + book::soundName(book::hotspotTag(1, 1), 1) +
                                " cannot be read: is damaged: CRC error"));
    EXPECT_EQ(checker.report().find("cannot be used: ;"), std::string::npos) << checker.report();
}

TEST_F(BookCheckerTest, TextAndCrowdsThatTheReaderWouldCutOrRefuseAreReported) {
    // A page of huge words, and one of more widgets than a page may hold.
    std::string labels;
    for (int i = 0; i < 3; ++i)
        labels +=
            std::string(i ? "," : "") +
            R"({"classname": "Label", "options": {"text": "WWWWWWWWWW", "fontName": "Arial", "fontSize": 2000}})";
    writePage(labels);
    check();
    const std::string page = book::pageLayoutPath("testLirra", "pip", 1);
    EXPECT_TRUE(finds(page, "the reader says: CCLabelTTF: text of ")) << checker.report();
    EXPECT_TRUE(finds(page, "twice the page at most"));

    std::string crowd;
    for (int i = 0; i < 1200; ++i)
        crowd += std::string(i ? "," : "") + button("b" + std::to_string(i));
    writePage(crowd);
    check();
    EXPECT_TRUE(finds(page, "more than 1000 widgets; the rest are left out"));
    EXPECT_EQ(checker.exitStatus(), 1);
}
