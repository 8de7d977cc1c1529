// The committed sample book against its story: every word has its text key,
// narration file and hotspot under the names the reader derives; every
// layout reads with the real reader; every hotspot covers its printed word.
#include "engine/base/CCDictionary.h"
#include "engine/base/CCString.h"
#include "engine/director/CCDirector.h"
#include "engine/nodes/CCScene.h"
#include "engine/nodes/CCSpriteFrameCache.h"
#include "engine/platform/CCFileUtils.h"
#include "gui/Layout.h"
#include "gui/LayoutReader.h"
#include "gui/UIButton.h"
#include "gui/UILayer.h"
#include "gui/UIToolkit.h"
#include "support/HeadlessView.h"
#include "tools/book/BookSource.h"
#include "tools/book/BookWriter.h"
#include "tools/book/WordLayout.h"
#include "tools/book/WordNames.h"

#include <SDL_image.h>
#include <gtest/gtest.h>
#include <json/json.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

namespace {

using namespace engine;
using namespace bookmaker;
using gui::UIButton;
using gui::UIToolkit;
using gui::UIWidget;
using testsupport::HeadlessView;
using testsupport::isColour;
using testsupport::Pixel;

const std::string kResources = LIRRA_SOURCE_DIR "/resources";

std::string text(CCDictionary* dict, const std::string& key) {
    auto* value = dict ? dynamic_cast<CCString*>(dict->objectForKey(key)) : nullptr;
    return value ? value->getString() : "<missing " + key + ">";
}

Json::Value readJson(const std::string& name) {
    std::ifstream in(kResources + "/" + name);
    Json::Value value;
    in >> value;
    return value;
}

class SampleBookTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        auto loaded = BookSource::load(LIRRA_SOURCE_DIR "/tools/book/story.json", error);
        ASSERT_TRUE(loaded) << error;
        book = *loaded;
        view = std::make_unique<HeadlessView>();
        ASSERT_TRUE(view->isOpen());
        CCFileUtils::sharedFileUtils()->setResourceRoot(kResources);
        UIToolkit::purgeToolkit();
    }
    void TearDown() override {
        UIToolkit::purgeToolkit();
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        view.reset();
    }

    std::string pageFile(int page) const {
        return book.bookFolder + "/" + book.subName + "/" + book.subName + "_" + std::to_string(page) +
               ".json";
    }
    UIWidget* readLayout(const std::string& name) {
        ::testing::internal::CaptureStdout();
        UIWidget* root = gui::LayoutReader::instance()->readLayoutFile(name);
        std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, "") << name;
        return root;
    }

    BookSource book;
    std::unique_ptr<HeadlessView> view;
};

TEST_F(SampleBookTest, DictionariesAndNarrationFollowTheStory) {
    // The names themselves, worked out by hand once.
    EXPECT_EQ(narrationFile(1, 1), "epc/0625cc61773d7129fa56ae443752bd4b.mp3");
    EXPECT_EQ(narrationFile(12, 5), "epc/629a76c263b63f6ece73f4fbabd1b265.mp3");
    EXPECT_EQ(hotspotName(12, 5), "bn125");
    EXPECT_EQ(textKey(3, 5), "str035");

    CCDictionary* config =
        CCDictionary::createWithContentsOfFile((book.bookFolder + "/StringConfig.xml").c_str());
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(config->count(), 7u);
    EXPECT_EQ(text(config, "lirraSubName"), book.subName);
    EXPECT_EQ(text(config, "pageMin"), "1");
    EXPECT_EQ(text(config, "pageMax"), std::to_string(book.pages.size()));
    EXPECT_EQ(text(config, "wordMin"), "1");
    int textSize = std::stoi(text(config, "textsize"));
    EXPECT_LE(textSize, book.wordTextSize);
    EXPECT_GE(textSize, BookWriter::kSmallestTextSize);
    EXPECT_NE(text(config, "ispep"), "true") << "hotspots keep their own highlights";
    CCDictionary* interface = CCDictionary::createWithContentsOfFile("String.xml");
    for (const char* key : {"main_page", "setmenu_set", "bntext", "nopresenglish", "up_page", "after_page"})
        EXPECT_NE(text(interface, key).find_first_not_of(' '), std::string::npos) << key;

    ASSERT_EQ(book.pages.size(), 12u);
    CCDictionary* words =
        CCDictionary::createWithContentsOfFile((book.bookFolder + "/Stringstr.xml").c_str());
    ASSERT_NE(words, nullptr);
    unsigned total = 0;
    bool pictureOnlyPage = false;
    for (const PageSource& page : book.pages) {
        pictureOnlyPage = pictureOnlyPage || page.words.empty();
        if (!page.words.empty()) {
            EXPECT_GE(page.words.size(), 4u) << "page " << page.number;
            EXPECT_LE(page.words.size(), 9u) << "page " << page.number;
        }
        for (std::size_t i = 0; i < page.words.size(); ++i, ++total) {
            int word = static_cast<int>(i) + 1;
            EXPECT_EQ(text(words, textKey(page.number, word)), page.words[i].text);
            std::ifstream mp3(kResources + "/" + book.bookFolder + "/" + narrationFile(page.number, word),
                              std::ios::binary);
            char head[3] = {};
            mp3.read(head, 3);
            bool isMp3 = std::string(head, 3) == "ID3" ||
                         (static_cast<unsigned char>(head[0]) == 0xff && (head[1] & 0xe0) == 0xe0);
            EXPECT_TRUE(isMp3) << "narration of page " << page.number << " word " << word;
        }
    }
    EXPECT_TRUE(pictureOnlyPage);
    EXPECT_EQ(words->count(), total) << "no text for words that are not printed";
    auto narrations =
        std::distance(std::filesystem::directory_iterator(kResources + "/" + book.bookFolder + "/epc"),
                      std::filesystem::directory_iterator());
    EXPECT_EQ(narrations, static_cast<long>(total)) << "no narration for words that are not printed";
}

TEST_F(SampleBookTest, EveryLayoutReadsWithTheButtonsTheScreensLookFor) {
    UIWidget* home = readLayout("mainpage/mainpage_1.json");
    ASSERT_NE(dynamic_cast<gui::Layout*>(home), nullptr);
    for (const char* name : {"bngoon", "bnwordlean", "bnselect", "bnreturn"})
        EXPECT_NE(dynamic_cast<UIButton*>(UIToolkit::findWidgetByName(home, name)), nullptr) << name;
    UIWidget* panel = readLayout("3age/pageset.json");
    ASSERT_NE(dynamic_cast<gui::Layout*>(panel), nullptr);
    for (const char* name : {"bnmain", "bnpres", "bnaotopage", "bnaoto", "bnok", "bncancel"}) {
        auto* button = dynamic_cast<UIButton*>(UIToolkit::findWidgetByName(panel, name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_STRNE(button->getTitleText(), "") << name;
    }

    int olderPages = 0, sheetPages = 0;
    for (const PageSource& page : book.pages) {
        Json::Value file = readJson(pageFile(page.number));
        olderPages += file["version"].asString() < "1";
        sheetPages += !file["textures"].empty();

        UIWidget* root = readLayout(pageFile(page.number));
        ASSERT_NE(dynamic_cast<gui::Layout*>(root), nullptr) << pageFile(page.number);
        // Touches on empty parts of the page must reach the page (swipes, hints).
        EXPECT_FALSE(root->isTouchEnabled());
        for (int word = 1; word <= static_cast<int>(page.words.size()) + 1; ++word) {
            auto* hotspot =
                dynamic_cast<UIButton*>(UIToolkit::findWidgetByName(root, hotspotName(page.number, word)));
            if (word > static_cast<int>(page.words.size())) {
                EXPECT_EQ(hotspot, nullptr) << "a hotspot past the last word of page " << page.number;
                continue;
            }
            ASSERT_NE(hotspot, nullptr) << hotspotName(page.number, word);
            EXPECT_TRUE(hotspot->isTouchEnabled());
            if (!file["textures"].empty()) {
                EXPECT_NE(CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(
                              hotspot->getPressedFile().c_str()),
                          nullptr);
            }
        }
    }
    EXPECT_GE(olderPages, 1);
    EXPECT_GE(sheetPages, 1);
}

// Ink of the printed page, found in the committed picture: each connected
// patch of ink lies wholly inside one hotspot, or (punctuation) outside all.
TEST_F(SampleBookTest, HotspotsCoverTheirPrintedWords) {
    const CCRect box = BookWriter::textBox();
    for (const PageSource& page : book.pages) {
        SCOPED_TRACE("page " + std::to_string(page.number));
        // The engine measures the words where the committed layout has them.
        WordLayout layout(page.text, page.words, book.font, book.fontSize, box);
        ASSERT_TRUE(layout.ok()) << layout.error();
        std::vector<CCRect> rects;
        const Json::Value file = readJson(pageFile(page.number));
        for (const Json::Value& child : file["widgetTree"]["children"]) {
            const Json::Value& o = child["options"];
            if (child["classname"] != "Button") continue;
            float w = o["width"].asFloat(), h = o["height"].asFloat();
            rects.emplace_back(o["x"].asFloat() - w / 2, o["y"].asFloat() - h / 2, w, h);
        }
        ASSERT_EQ(rects.size(), layout.words().size());
        for (std::size_t i = 0; i < rects.size(); ++i)
            EXPECT_TRUE(rects[i].equals(layout.words()[i].rect))
                << "word " << i + 1 << " was measured elsewhere";

        std::string picture = kResources + "/" + book.bookFolder + "/" + book.subName + "/page_" +
                              std::to_string(page.number) + ".png";
        SDL_Surface* loaded = IMG_Load(picture.c_str());
        ASSERT_NE(loaded, nullptr) << picture;
        SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(loaded);
        ASSERT_EQ(image->h, 960);
        // The lines of text, and a margin around them where no ink may be;
        // the picture's lower edge lies above.
        float highest = box.getMaxY() - 30, lowest = box.getMinY();
        if (!rects.empty()) {
            highest = lowest = rects[0].getMidY();
            for (const CCRect& r : rects)
                highest = std::max(highest, r.getMaxY() + 8), lowest = std::min(lowest, r.getMinY() - 8);
        }
        const int top = 960 - static_cast<int>(highest), bottom = 960 - static_cast<int>(lowest);
        auto ink = [&](int x, int y) {
            Uint32 p = static_cast<Uint32*>(image->pixels)[y * image->pitch / 4 + x];
            int luma = (((p >> 16) & 0xff) * 3 + ((p >> 8) & 0xff) * 6 + (p & 0xff)) / 10;
            return luma < 140;
        };
        auto rectOf = [&](int x, int y) {
            for (std::size_t i = 0; i < rects.size(); ++i)
                if (rects[i].containsPoint(CCPoint(x + 0.5f, 959.5f - y))) return static_cast<int>(i);
            return -1;
        };
        std::vector<char> seen(static_cast<std::size_t>(image->w) * image->h, 0);
        std::vector<int> patchesIn(rects.size(), 0);
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < image->w; ++x) {
                if (seen[y * image->w + x] || !ink(x, y)) continue;
                // One patch, by flood fill; where its pixels lie decides.
                std::vector<std::pair<int, int>> stack{{x, y}};
                seen[y * image->w + x] = 1;
                std::set<int> owners;
                int minX = x, maxX = x, minY = y, maxY = y;
                while (!stack.empty()) {
                    auto [px, py] = stack.back();
                    stack.pop_back();
                    owners.insert(rectOf(px, py));
                    minX = std::min(minX, px), maxX = std::max(maxX, px);
                    minY = std::min(minY, py), maxY = std::max(maxY, py);
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) {
                            int nx = px + dx, ny = py + dy;
                            if (nx < 0 || nx >= image->w || ny < top || ny >= bottom) continue;
                            if (seen[ny * image->w + nx] || !ink(nx, ny)) continue;
                            seen[ny * image->w + nx] = 1;
                            stack.emplace_back(nx, ny);
                        }
                }
                ASSERT_EQ(owners.size(), 1u)
                    << "ink at (" << minX << ", " << minY << ") crosses a hotspot's edge";
                if (*owners.begin() >= 0) {
                    ++patchesIn[*owners.begin()];
                } else {
                    EXPECT_LT(maxX - minX, book.fontSize * 0.25f)
                        << "a letter outside every hotspot at x " << minX;
                    EXPECT_LT(maxY - minY, book.fontSize) << "a letter outside every hotspot at x " << minX;
                }
            }
        }
        for (std::size_t i = 0; i < rects.size(); ++i)
            EXPECT_GE(patchesIn[i], static_cast<int>(page.words[i].text.size()) / 2) << "word " << i + 1;
        SDL_FreeSurface(image);
    }
}

// What a child sees: the home page, and page 1 with a word highlighted.
TEST_F(SampleBookTest, HomeAndPageDrawTheirPicturesAndHighlights) {
    gui::UILayer* layer = gui::UILayer::create();
    layer->addWidget(readLayout("mainpage/mainpage_1.json"));
    view->show(layer);
    view->save("sample_book_home");
    EXPECT_TRUE(isColour(view->at(120, 290), 0xf0, 0x82, 0x3c, 12)) << "the word-learning button";
    EXPECT_TRUE(isColour(view->at(10, 950), 0x15, 0x20, 0x4a, 16)) << "the night sky of the title";

    layer = gui::UILayer::create();
    UIWidget* page = readLayout(pageFile(1));
    layer->addWidget(page);
    UIWidget* pip = UIToolkit::findWidgetByName(page, hotspotName(1, 3));
    ASSERT_NE(pip, nullptr);
    CCPoint at = pip->getPosition();
    float left = at.x - pip->getSize().width / 2;
    for (int word = 1; word <= static_cast<int>(book.pages[0].words.size()); ++word)
        UIToolkit::findWidgetByName(page, hotspotName(1, word))->setVisible(false); // as the page hides them
    CCScene* scene = CCScene::create();
    scene->addChild(layer);
    CCDirector::sharedDirector()->replaceScene(scene);
    view->step();
    Pixel paper = view->at(left + 4, at.y);
    pip->setVisible(true);
    pip->setFocused(true); // the look of a word being read
    view->step();
    view->save("sample_book_page1_word");
    EXPECT_TRUE(isColour(view->at(left + 4, at.y), 255, 216, 77, 12)) << "highlight instead of " << paper;
    EXPECT_TRUE(isColour(paper, 255, 246, 224, 16)) << "the paper under the sentence";
}

} // namespace
