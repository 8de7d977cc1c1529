// The shelf: which books it finds, their covers in a grid (made by the
// reader itself in a child process, cached, remade when a book changes,
// plain for a broken book), opening a book by touch and by keys, the book's
// Bye back to the shelf with nothing of the previous book left behind, the
// page menu's page pictures, and --add.
#include "book/Shelf.h"
#include "app/AddBook.h"
#include "app/PictureRun.h"
#include "book/BookFixture.h"
#include "book/BookNames.h"
#include "book/BookState.h"
#include "book/FocusRing.h"
#include "book/MenuLayerMainMenu.h"
#include "book/MenuTestScene.h"
#include "book/PictureCache.h"
#include "book/PictureMaker.h"
#include "book/ShelfLayer.h"
#include "book/TestController.h"
#include "engine/director/CCDirector.h"
#include "engine/director/CCKeyCodes.h"
#include "engine/director/CCKeyboardDispatcher.h"
#include "engine/nodes/CCScene.h"
#include "engine/platform/CCEGLView.h"
#include "engine/platform/CCFileUtils.h"
#include "support/RunningChild.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

using namespace engine;
using namespace book;
namespace fs = std::filesystem;
using testsupport::HeadlessView;

namespace {

constexpr std::uint32_t kBookABlue = 0xff3070c0; // SmallBook's home buttons
constexpr std::uint32_t kBookBRed = 0xffd02020;

class ShelfTest : public booktest::BookFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(view.isOpen());
        shelf::reset();
        pictures::setCacheFolder(cache.path() + "/covers");
        fs::create_directories(shelfFolder());
    }
    void TearDown() override {
        pictures::PictureMaker::shared().cancelAll();
        pictures::PictureMaker::shared().setProgram("");
        pictures::PictureMaker::shared().setTimeLimit(pictures::PictureMaker::kDefaultTimeLimit);
        pictures::setCacheFolder("");
        shelf::reset();
    }

    std::string shelfFolder() const { return books.path() + "/shelf"; }

    // A small book (home page, two pages) written into the view's root and
    // copied onto the shelf as `name`, its home buttons painted `buttons`.
    std::string addBook(const std::string& name, std::uint32_t buttons = kBookABlue,
                        const std::string& homeText = "Home") {
        if (!written) {
            book.writeConfig({{"pageMax", "2"}});
            book.writeHomeLayout();
            book.writeImages();
            book.writePage(1, {{1, {150, 600}, {}}});
            book.writePage(2, {{1, {450, 200}, {}}});
            book.writeWordTexts({{"str011", "sun"}, {"str021", "cat"}});
            written = true;
        }
        view.writeImage("mainpage/button.png", 200, 80, buttons);
        book.writeInterfaceTexts();
        view.resources().write("String.xml", interfaceTexts(homeText));
        const std::string target = shelfFolder() + "/" + name;
        fs::copy(view.resources().path(), target, fs::copy_options::recursive);
        return target;
    }
    static std::string interfaceTexts(const std::string& home) {
        std::string entries;
        for (auto [key, text] : {std::pair<const char*, std::string>{"main_page", home},
                                 {"setmenu_set", "Set"},
                                 {"bntext", "Hint"},
                                 {"nopresenglish", "No"},
                                 {"up_page", "Back"},
                                 {"after_page", "More"}})
            entries += std::string("<key>") + key + "</key><string>" + text + "</string>";
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>" + entries +
               "</dict></plist>";
    }

    // Covers drawn by the reader binary itself.
    static void useTheReader() {
        pictures::PictureMaker::shared().setProgram(std::string(LIRRA_BINARY_DIR) + "/lirra");
    }

    ShelfLayer* startShelf() {
        shelf::setBooks(shelf::findBooks({shelfFolder()}));
        CCScene* scene = CCScene::create();
        auto* layer = new ShelfLayer();
        scene->addChild(layer);
        layer->release();
        if (CCDirector::sharedDirector()->getRunningScene()) {
            CCDirector::sharedDirector()->replaceScene(scene);
            view.step();
        } else {
            view.run(scene);
        }
        return layer;
    }
    // Frames until the picture maker has nothing left to do (each child is a
    // process of its own: it takes real time, however fast frames are stepped).
    bool waitForPictures() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
        while (std::chrono::steady_clock::now() < deadline) {
            view.step();
            if (!pictures::PictureMaker::shared().busy()) {
                view.step();
                return true;
            }
            SDL_Delay(5);
        }
        return false;
    }
    ShelfLayer* shelfOnShow() const { return testsupport::runningChild<ShelfLayer>(); }
    // The centre of cover `index` on the screen.
    CCPoint coverCentre(int index) const {
        const CCRect box = shelfOnShow()->coverBounds(index);
        return CCPoint(box.getMidX(), box.getMidY());
    }
    // Pixels of the cover's picture area near a colour.
    int coverPixels(int index, std::uint32_t argb) const {
        const CCRect box = shelfOnShow()->coverBounds(index);
        const CCRect picture(box.getMidX() - 80, box.getMaxY() - 4 - 240, 160, 240);
        return countPixels(picture, (argb >> 16) & 0xff, (argb >> 8) & 0xff, argb & 0xff, 30);
    }
    void press(int key) {
        CCDirector::sharedDirector()->getKeyboardDispatcher()->dispatchKeyPressed(key);
        view.step();
    }

    testsupport::TempDir books, cache;
    bool written = false;
};

} // namespace

TEST_F(ShelfTest, FindsBooksOnceSkipsWhatIsNoBookAndTitlesThemByName) {
    const std::string a = addBook("pip-and-the-moon");
    addBook("Another_book");
    std::ofstream(shelfFolder() + "/notes.txt") << "not a book";
    std::ofstream(shelfFolder() + "/broken.lirra") << "not a zip";
    fs::create_directories(shelfFolder() + "/empty");
    // The same book through a link counts once.
    fs::create_directory_symlink(a, shelfFolder() + "/zz-link");

    std::vector<ShelfBook> found = shelf::findBooks({shelfFolder(), books.path() + "/missing"});
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].title, "Another book");
    EXPECT_EQ(found[1].title, "Broken");
    EXPECT_EQ(found[2].title, "Pip and the moon");
    EXPECT_EQ(found[2].path, fs::canonical(a).string());
    EXPECT_EQ(shelf::titleFromName("/x/red-kite.lirra"), "Red kite");
    EXPECT_EQ(shelf::installedShelf("/opt/lirra/bin"), "/opt/lirra/share/lirra/books");
}

TEST_F(ShelfTest, CoversInAGridOpenTheRightBookWhoseByeComesBackWithNothingLeftOfIt) {
    useTheReader();
    const std::string a = addBook("a-blue", kBookABlue, "Home A");
    const std::string b = addBook("b-red", kBookBRed, "Home B");
    ShelfLayer* shelf = startShelf();
    ASSERT_EQ(shelf->coverCount(), 2);
    EXPECT_EQ(shelf->coverLook(0), ShelfLayer::CoverLook::Waiting);
    EXPECT_NE(shelf->progressText(), "");
    ASSERT_TRUE(waitForPictures());
    shelf = shelfOnShow();
    ASSERT_NE(shelf, nullptr);
    ASSERT_EQ(shelf->coverLook(0), ShelfLayer::CoverLook::Picture);
    ASSERT_EQ(shelf->coverLook(1), ShelfLayer::CoverLook::Picture);
    EXPECT_EQ(shelf->progressText(), "");

    // Side by side on the top row, each showing its own home page small.
    const CCRect first = shelf->coverBounds(0), second = shelf->coverBounds(1);
    EXPECT_NEAR(first.getMaxY(), second.getMaxY(), 0.5f);
    EXPECT_LT(first.getMaxX(), second.getMinX());
    EXPECT_GT(coverPixels(0, kBookABlue), 100);
    EXPECT_EQ(coverPixels(0, kBookBRed), 0);
    EXPECT_GT(coverPixels(1, kBookBRed), 100);
    EXPECT_TRUE(view.savedAsShown("shelf_two_books"));

    // A touch on the red book opens its home page: its pictures, its texts.
    tap(coverCentre(1));
    ASSERT_NE(testsupport::runningChild<TestController>(), nullptr);
    EXPECT_EQ(CCFileUtils::sharedFileUtils()->getResourceRoot(), fs::canonical(b).string());
    EXPECT_TRUE(
        testsupport::isColour(view.at(booktest::SmallBook::homeButton("bnselect")), 0xd0, 0x20, 0x20, 8));
    EXPECT_EQ(readInterfaceText("main_page").value_or(""), "Home B");

    // Bye comes back to the shelf instead of ending the program.
    tap(booktest::SmallBook::homeButton("bnreturn"));
    ASSERT_NE(shelfOnShow(), nullptr);
    EXPECT_TRUE(log.contains("shelf: back on the shelf"));

    // The blue book's picture has the red one's name: it must not come back red.
    tap(coverCentre(0));
    ASSERT_NE(testsupport::runningChild<TestController>(), nullptr);
    EXPECT_EQ(CCFileUtils::sharedFileUtils()->getResourceRoot(), fs::canonical(a).string());
    EXPECT_TRUE(
        testsupport::isColour(view.at(booktest::SmallBook::homeButton("bnselect")), 0x30, 0x70, 0xc0, 8));
    EXPECT_EQ(readInterfaceText("main_page").value_or(""), "Home A");
}

TEST_F(ShelfTest, ABookOpenedAfterAnotherReadsItsOwnNarration) {
    // Book a has word 1's narration (not a playable one), book b has none.
    const std::string narration = narrationPath("testLirra", soundName(hotspotTag(1, 1), 1));
    const std::string a = addBook("a");
    fs::create_directories(fs::path(a + "/" + narration).parent_path());
    std::ofstream(a + "/" + narration) << "not an mp3";
    const std::string b = addBook("b");
    startShelf();
    auto readWordOne = [&](int cover) {
        log.clear();
        tap(coverCentre(cover));
        tap(booktest::SmallBook::homeButton("bnwordlean"));
        tap(CCPoint(150, 600)); // word 1
        return stepUntil([&] { return log.contains("cannot be read aloud: " + narration); }, 5);
    };
    ASSERT_TRUE(readWordOne(0));
    EXPECT_FALSE(log.contains("no such file")) << "book a's narration was not read from book a";
    // Home from the page (Escape), Bye, and the other book.
    press(kKeyEscape);
    tap(booktest::SmallBook::homeButton("bnreturn"));
    ASSERT_NE(shelfOnShow(), nullptr);
    ASSERT_TRUE(readWordOne(1));
    EXPECT_TRUE(log.contains("no such file in " + fs::canonical(b).string()))
        << "book a's narration was played in b";
}

TEST_F(ShelfTest, ABookWithoutAHomePageShowsItsFirstPageAsItsCover) {
    useTheReader();
    addBook("with-home");
    const std::string bare = addBook("without-home");
    fs::remove(bare + "/mainpage/mainpage_1.json");
    startShelf();
    ASSERT_TRUE(waitForPictures());
    ShelfLayer* shelf = shelfOnShow();
    ASSERT_EQ(shelf->coverLook(1), ShelfLayer::CoverLook::Picture);
    // Page 1: the page's grey with its word's yellow, none of the home page's blue buttons.
    EXPECT_GT(coverPixels(1, 0xffe6e6e6), 20000);
    EXPECT_EQ(coverPixels(1, kBookABlue), 0);
    EXPECT_GT(coverPixels(0, kBookABlue), 100);
}

TEST_F(ShelfTest, ThirtyBooksScrollAndTheKeyboardReachesEveryCover) {
    std::vector<std::string> paths;
    for (int i = 0; i < 30; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "book-%02d", i);
        paths.push_back(addBook(name));
    }
    ShelfLayer* shelf = startShelf();
    ASSERT_EQ(shelf->coverCount(), 30);
    // Three to a row, rows downwards; without a maker every cover is plain at once.
    EXPECT_EQ(shelf->coverLook(29), ShelfLayer::CoverLook::Plain);
    EXPECT_NEAR(shelf->coverBounds(3).getMinX(), shelf->coverBounds(0).getMinX(), 0.5f);
    EXPECT_LT(shelf->coverBounds(3).getMaxY(), shelf->coverBounds(0).getMinY() + 1);
    // Only the rows near the view hold their pictures and titles.
    EXPECT_TRUE(shelf->coverBuilt(0));
    EXPECT_FALSE(shelf->coverBuilt(29));

    // Tab visits every cover in order, each brought fully into view.
    for (int i = 0; i < 30; ++i) {
        press(kKeyTab);
        ASSERT_EQ(shelf->getFocusRing()->getFocusedIndex(), i);
        const CCRect box = shelf->coverBounds(i);
        EXPECT_GE(box.getMinY(), 0) << "cover " << i;
        EXPECT_LE(box.getMaxY(), 960) << "cover " << i;
        EXPECT_TRUE(shelf->coverBuilt(i));
    }
    EXPECT_FALSE(shelf->coverBuilt(0)); // far above by now
    press(kKeyBackTab);
    EXPECT_EQ(shelf->getFocusRing()->getFocusedIndex(), 28);
    // Arrows: up a row, across, and not past the ends.
    press(kKeyUp);
    EXPECT_EQ(shelf->getFocusRing()->getFocusedIndex(), 25);
    press(kKeyLeft);
    EXPECT_EQ(shelf->getFocusRing()->getFocusedIndex(), 24);
    press(kKeyDown);
    press(kKeyDown);
    EXPECT_EQ(shelf->getFocusRing()->getFocusedIndex(), 27);
    press(kKeyDown);
    EXPECT_EQ(shelf->getFocusRing()->getFocusedIndex(), 27);

    // Return opens the book the ring is on; Bye brings the shelf back where it was.
    const float scrolled = shelf->scrolled();
    EXPECT_GT(scrolled, 1000);
    press(kKeyReturn);
    ASSERT_NE(testsupport::runningChild<TestController>(), nullptr);
    EXPECT_EQ(CCFileUtils::sharedFileUtils()->getResourceRoot(), fs::canonical(paths[27]).string());
    tap(booktest::SmallBook::homeButton("bnreturn"));
    shelf = shelfOnShow();
    ASSERT_NE(shelf, nullptr);
    EXPECT_NEAR(shelf->scrolled(), scrolled, 0.5f);
    EXPECT_EQ(shelf->getFocusRing()->getFocusedIndex(), 27);
}

TEST_F(ShelfTest, ADragScrollsWithoutOpeningAndATapAfterItOpens) {
    for (int i = 0; i < 12; ++i)
        addBook("book-" + std::to_string(10 + i));
    ShelfLayer* shelf = startShelf();
    const CCPoint start = coverCentre(4);
    HeadlessView::touchBegan(start);
    view.step();
    EXPECT_TRUE(shelf->coverPressed(4)) << "a held cover shows it is taken";
    for (int step = 1; step <= 10; ++step) {
        HeadlessView::touchMoved(CCPoint(start.x, start.y + step * 30));
        view.step();
    }
    HeadlessView::touchEnded(CCPoint(start.x, start.y + 300));
    view.step(30);
    ASSERT_EQ(shelfOnShow(), shelf) << "a drag opened a book";
    EXPECT_FALSE(shelf->coverPressed(4)) << "a drag lets the cover go";
    EXPECT_GT(shelf->scrolled(), 200);
    tap(coverCentre(7));
    EXPECT_NE(testsupport::runningChild<TestController>(), nullptr);
}

TEST_F(ShelfTest, ABrokenBookGetsAPlainCoverWithItsReasonAndNeverStopsTheShelf) {
    useTheReader();
    addBook("good");
    std::ofstream(shelfFolder() + "/broken.lirra") << "not a zip at all";
    ShelfLayer* shelf = startShelf();
    ASSERT_TRUE(waitForPictures());
    shelf = shelfOnShow();
    ASSERT_EQ(shelf->coverCount(), 2);
    EXPECT_EQ(shelf->coverTitle(0), "Broken");
    EXPECT_EQ(shelf->coverLook(0), ShelfLayer::CoverLook::Plain);
    EXPECT_EQ(shelf->coverLook(1), ShelfLayer::CoverLook::Picture);
    EXPECT_TRUE(log.contains("broken.lirra gets a plain cover: cannot open the book"));
    // Touching it leaves the shelf up.
    tap(coverCentre(0));
    EXPECT_EQ(shelfOnShow(), shelf);
    EXPECT_TRUE(log.contains("shelf: cannot open the book"));
    // A cover file that became garbage is drawn plain, with a line, not a crash.
    const std::string key = *pictures::keyOf(shelf::books()[1].path);
    std::ofstream(pictures::coverFile(key), std::ios::trunc) << "garbage";
    startShelf();
    EXPECT_EQ(shelfOnShow()->coverLook(1), ShelfLayer::CoverLook::Plain);
    EXPECT_TRUE(log.contains("is not a picture"));
}

TEST_F(ShelfTest, AMakerThatDiesOrHangsLeavesAPlainCoverWithTheReason) {
    addBook("dies");
    addBook("hangs");
    // A stand-in for the reader: it fails on the first book and never ends on the second.
    const std::string program = books.path() + "/maker.sh";
    std::ofstream(program)
        << "#!/bin/sh\ncase \"$2\" in *dies) echo 'drawing went wrong' >&2; exit 3;; esac\n"
           "exec sleep 600\n";
    fs::permissions(program, fs::perms::owner_all);
    pictures::PictureMaker::shared().setProgram(program);
    pictures::PictureMaker::shared().setTimeLimit(0.5);
    startShelf();
    ASSERT_TRUE(waitForPictures());
    ShelfLayer* shelf = shelfOnShow();
    EXPECT_EQ(shelf->coverLook(0), ShelfLayer::CoverLook::Plain);
    EXPECT_EQ(shelf->coverLook(1), ShelfLayer::CoverLook::Plain);
    EXPECT_TRUE(
        log.contains("dies gets a plain cover: the picture maker ended with status 3: drawing went wrong"));
    EXPECT_TRUE(log.contains("took too long; it is stopped"));
    // The reason is kept: neither is tried again until it changes.
    const unsigned finished = pictures::PictureMaker::shared().finished();
    startShelf();
    EXPECT_FALSE(pictures::PictureMaker::shared().busy());
    EXPECT_EQ(pictures::PictureMaker::shared().finished(), finished);
}

TEST_F(ShelfTest, ACacheThatCannotBeWrittenLeavesPlainCoversAndOneLine) {
    useTheReader();
    addBook("a");
    addBook("b");
    std::ofstream(books.path() + "/a-file") << "not a folder";
    pictures::setCacheFolder(books.path() + "/a-file/covers");
    ShelfLayer* shelf = startShelf();
    view.step(3);
    EXPECT_FALSE(pictures::PictureMaker::shared().busy());
    EXPECT_EQ(shelf->coverLook(0), ShelfLayer::CoverLook::Plain);
    EXPECT_EQ(shelf->coverLook(1), ShelfLayer::CoverLook::Plain);
    EXPECT_EQ(log.count("cannot keep pictures in"), 1);
    EXPECT_EQ(shelf->progressText(), "");
}

TEST_F(ShelfTest, CoversAreReusedAndMadeAgainWhenTheBookChanges) {
    useTheReader();
    const std::string a = addBook("a");
    addBook("b", kBookBRed);
    const unsigned before = pictures::PictureMaker::shared().finished();
    startShelf();
    ASSERT_TRUE(waitForPictures());
    const unsigned made = pictures::PictureMaker::shared().finished();
    EXPECT_EQ(made, before + 2);
    const std::string oldKey = *pictures::keyOf(a);
    // A program that draws pictures differently does not take these.
    EXPECT_NE(*pictures::keyOf(a, pictures::kPictureVersion + 1), oldKey);

    // Opened again: nothing to make, every cover at once.
    ShelfLayer* again = startShelf();
    EXPECT_TRUE(log.contains("shelf: 2 books, 0 covers to make"));
    EXPECT_EQ(again->coverLook(0), ShelfLayer::CoverLook::Picture);
    EXPECT_FALSE(pictures::PictureMaker::shared().busy());

    // The book changes (a red home page): a new key, a new cover, in red.
    fs::copy_file(shelfFolder() + "/b/mainpage/button.png", a + "/mainpage/button.png",
                  fs::copy_options::overwrite_existing);
    { std::ofstream(a + "/mainpage/extra.txt") << "grows"; }
    ASSERT_NE(*pictures::keyOf(a), oldKey);
    startShelf();
    EXPECT_TRUE(log.contains("shelf: 2 books, 1 covers to make"));
    ASSERT_TRUE(waitForPictures());
    EXPECT_EQ(pictures::PictureMaker::shared().finished(), made + 1);
    EXPECT_EQ(shelfOnShow()->coverLook(0), ShelfLayer::CoverLook::Picture);
    EXPECT_GT(coverPixels(0, kBookBRed), 100);
}

TEST_F(ShelfTest, PageMenuSquaresShowTheirPagesPictures) {
    useTheReader();
    const std::string a = addBook("a");
    // Page 2 is blue, so that each square's picture tells its page.
    const std::string page2 = a + "/testLirra/tb/tb_2.json";
    std::ifstream in(page2);
    std::string layout((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string grey = "\"bgColorR\":230,\"bgColorG\":230,\"bgColorB\":230";
    ASSERT_NE(layout.find(grey), std::string::npos);
    layout.replace(layout.find(grey), grey.size(), "\"bgColorR\":40,\"bgColorG\":90,\"bgColorB\":200");
    std::ofstream(page2, std::ios::trunc) << layout;
    ASSERT_TRUE(shelf::openBook(a));
    pageMax = 2;
    view.run(CCScene::create());
    MenuTestScene::open();
    view.step();
    auto* menu = testsupport::runningChild<MenuLayerMainMenu>();
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->showsPagePictures());
    ASSERT_TRUE(waitForPictures());
    ASSERT_TRUE(menu->showsPagePictures());
    view.step(4, 0.7f); // the fly-in is over

    // Square 1 at (80, 848), square 2 at (240, 848), 142 wide: the picture
    // (about 62 x 94) fills the upper part, the number sits below it.
    auto picture = [](float x) { return CCRect(x - 25, 848 - 71 + 60, 50, 60); };
    EXPECT_GT(countPixels(picture(80), 230, 230, 230, 12), 2500);
    EXPECT_EQ(countPixels(picture(80), 40, 90, 200, 12), 0);
    EXPECT_GT(countPixels(picture(240), 40, 90, 200, 12), 2500);
    EXPECT_TRUE(testsupport::isColour(view.at(20, 848), 255, 0, 0)); // still a red square
    EXPECT_TRUE(testsupport::isColour(view.at(80, 800), 255, 255, 0, 60) ||
                countPixels(CCRect(60, 780, 40, 30), 255, 255, 0, 60) > 20)
        << "the number shows below the picture";
    EXPECT_TRUE(view.matchesReference("page_menu_pictures"));

    // The touch area is the square's: a tap on the picture opens page 2.
    tap(CCPoint(240, 870));
    ASSERT_NE(runningPage(), nullptr);
    EXPECT_EQ(currentPage, 2);
}

TEST_F(ShelfTest, AddRefusesABookWithErrorsAndCopiesAGoodOne) {
    // A book without its home page and pages is refused with the findings.
    book.writeConfig();
    book.writeInterfaceTexts();
    const std::string target = books.path() + "/user-shelf";
    std::string report;
    EXPECT_EQ(app::addBook(view.resources().path(), target, report), 1);
    EXPECT_NE(report.find("mainpage/mainpage_1.json"), std::string::npos) << report;
    EXPECT_NE(report.find("not added"), std::string::npos) << report;
    EXPECT_TRUE(shelf::findBooks({target}).empty());

    report.clear();
    std::ofstream(books.path() + "/junk.lirra") << "junk";
    EXPECT_NE(app::addBook(books.path() + "/junk.lirra", target, report), 0);
    EXPECT_TRUE(shelf::findBooks({target}).empty());

    // The sample book passes and lands on the shelf, whole.
    const std::string sample = std::string(LIRRA_SOURCE_DIR) + "/resources";
    if (!fs::exists(sample + "/testLirra/StringConfig.xml")) GTEST_SKIP() << "no sample book";
    report.clear();
    EXPECT_EQ(app::addBook(sample, target, report), 0) << report;
    std::vector<ShelfBook> shelved = shelf::findBooks({target});
    ASSERT_EQ(shelved.size(), 1u);
    EXPECT_TRUE(fs::exists(shelved[0].path + "/mainpage/mainpage_1.json"));
}

TEST(PictureShrink, AveragesEachBlock) {
    // 4 x 2 to 2 x 1: each output pixel is the mean of a 2 x 2 block.
    const std::vector<std::uint32_t> pixels = {0xff000000, 0xff0000ff, 0xffffffff, 0xffffffff,
                                               0xff0000ff, 0xff000000, 0xffffffff, 0xff000000};
    const std::vector<std::uint32_t> small = app::shrink(pixels, 4, 2, 2, 1);
    ASSERT_EQ(small.size(), 2u);
    EXPECT_EQ(small[0], 0xff000080u);
    EXPECT_EQ(small[1], 0xffbfbfbfu);
}
