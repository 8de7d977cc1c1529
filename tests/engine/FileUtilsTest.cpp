#include "engine/platform/CCFileUtils.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace engine;
using testsupport::LogCapture;
using testsupport::TempDir;

namespace {

// Makes a TempDir the resource root for one test and puts the old root back.
class FileUtilsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_previousRoot = files()->getResourceRoot();
        files()->setResourceRoot(m_dir.path());
    }
    void TearDown() override { files()->setResourceRoot(m_previousRoot); }

    static CCFileUtils* files() { return CCFileUtils::sharedFileUtils(); }
    const TempDir& dir() const { return m_dir; }

  private:
    TempDir m_dir;
    std::string m_previousRoot;
};

} // namespace

TEST_F(FileUtilsTest, ReadsWholeFilesRelativeToTheRoot) {
    std::string binary("a\0b\r\n\xff", 6);
    dir().write("book/page.bin", binary);
    dir().write("top.txt", "top");

    EXPECT_EQ(files()->getFileData("book/page.bin"), binary);
    EXPECT_EQ(files()->getFileData("./top.txt"), "top");
    EXPECT_EQ(files()->getFileData("book//page.bin"), binary);
    EXPECT_EQ(files()->getFileData("book/./../top.txt"), "top");
    // The book joins its folder and a name that begins with '/'.
    EXPECT_EQ(files()->getFileData(std::string("book") + "/page.bin"), binary);
    EXPECT_EQ(files()->fullPathForFilename("./book/x/../page.bin"), dir().path() + "/book/page.bin");
    EXPECT_TRUE(files()->isFileExist("book/page.bin"));
}

TEST_F(FileUtilsTest, EmptyFileIsNotMissing) {
    dir().write("empty.txt", "");
    CCFileUtils::ReadError error = CCFileUtils::ReadError::Missing;
    auto data = files()->getFileData("empty.txt", &error);
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(*data, "");
    EXPECT_EQ(error, CCFileUtils::ReadError::None);
}

TEST_F(FileUtilsTest, MissingAndFolderNamesReadAsNothingWithoutLogging) {
    dir().write("book/page.txt", "x");
    LogCapture log;
    CCFileUtils::ReadError error;
    EXPECT_FALSE(files()->getFileData("nothing.txt", &error));
    EXPECT_EQ(error, CCFileUtils::ReadError::Missing);
    EXPECT_FALSE(files()->getFileData("book", &error));
    EXPECT_EQ(error, CCFileUtils::ReadError::Unreadable);
    EXPECT_FALSE(files()->isFileExist("book"));
    EXPECT_FALSE(files()->isFileExist("nothing.txt"));
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(FileUtilsTest, NamesOutsideTheRootAreRefusedWithOneLogLineEach) {
    // A real file just outside the root proves that refusal is not mere absence.
    TempDir outside;
    outside.write("secret.txt", "secret");
    std::string fromRoot = "../" + std::filesystem::path(outside.path()).filename().string() + "/secret.txt";
    ASSERT_TRUE(std::filesystem::exists(dir().path() + "/" + fromRoot));

    const std::string refused[] = {fromRoot,
                                   "../x",
                                   "/etc/passwd",
                                   "a/../../x",
                                   "./..",
                                   "a/b/../../..",
                                   "",
                                   outside.path() + "/secret.txt",
                                   std::string("a\0b", 3)};
    for (const std::string& name : refused) {
        SCOPED_TRACE(name);
        LogCapture log;
        CCFileUtils::ReadError error;
        EXPECT_FALSE(files()->getFileData(name, &error));
        EXPECT_EQ(error, CCFileUtils::ReadError::Refused);
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_NE(log.lines()[0].find("CCFileUtils: refusing"), std::string::npos);
        EXPECT_FALSE(files()->isFileExist(name));
        EXPECT_EQ(files()->fullPathForFilename(name), "");
        EXPECT_FALSE(CCFileUtils::normalizeName(name));
        EXPECT_EQ(log.lines().size(), 3u);
    }
    // The refusal line names the file.
    LogCapture log;
    files()->getFileData("/etc/passwd");
    EXPECT_TRUE(log.contains("'/etc/passwd'"));
}

TEST_F(FileUtilsTest, DotDotThatStaysInsideIsAllowed) {
    EXPECT_EQ(CCFileUtils::normalizeName("a/../b"), "b");
    EXPECT_EQ(CCFileUtils::normalizeName("./a//b/./c/.."), "a/b");
    EXPECT_EQ(CCFileUtils::normalizeName("a/b/../../c"), "c");
    // "..." and "..x" are ordinary names, not steps up.
    EXPECT_EQ(CCFileUtils::normalizeName(".../..x"), ".../..x");
}

TEST_F(FileUtilsTest, RootIsSettableAndNormalised) {
    TempDir other;
    other.write("only-here.txt", "here");
    EXPECT_FALSE(files()->isFileExist("only-here.txt"));

    files()->setResourceRoot(other.path() + "/sub/../");
    EXPECT_EQ(files()->getResourceRoot(), other.path());
    EXPECT_EQ(files()->getFileData("only-here.txt"), "here");

    // A relative root is taken from the current directory.
    std::string cwd = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(other.path().c_str()), 0);
    files()->setResourceRoot("");
    std::string fromEmpty = files()->getResourceRoot();
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    EXPECT_EQ(fromEmpty, other.path());

    files()->setResourceRoot("/");
    EXPECT_EQ(files()->getResourceRoot(), "/");
    EXPECT_EQ(files()->fullPathForFilename("etc/hostname"), "/etc/hostname");
}

TEST(FileUtilsDefaultRootTest, ResourcesFolderIsFoundBesideOrAboveTheExecutable) {
    TempDir tree;
    tree.write("src/resources/a.txt", "");
    tree.write("src/build/release/resources/b.txt", "");
    tree.write("src/build/debug/lirra", "");
    tree.write("src/build/far/away/here/lirra", "");
    const std::string base = tree.path() + "/src";

    EXPECT_EQ(CCFileUtils::findResourceRoot(base + "/build/release"), base + "/build/release/resources");
    EXPECT_EQ(CCFileUtils::findResourceRoot(base + "/build/debug"), base + "/resources");
    EXPECT_EQ(CCFileUtils::findResourceRoot(base), base + "/resources");
    // Nothing within two levels above: resources beside the executable.
    EXPECT_EQ(CCFileUtils::findResourceRoot(base + "/build/far/away/here"),
              base + "/build/far/away/here/resources");
    EXPECT_EQ(CCFileUtils::findResourceRoot("/"), "/resources");
    // Installed: <prefix>/bin/lirra reads <prefix>/share/lirra/resources.
    tree.write("usr/share/lirra/resources/String.xml", "");
    EXPECT_EQ(CCFileUtils::findResourceRoot(tree.path() + "/usr/bin"), tree.path() + "/usr/share/lirra/resources");

    std::string executableFolder = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    EXPECT_EQ(CCFileUtils::defaultResourceRoot(), CCFileUtils::findResourceRoot(executableFolder));
}

// What a name leads to is checked, not only its text: links that lead outside
// the root, FIFOs and devices, and files beyond their kind's size limit are
// refused with one line naming the file, before they are opened.
TEST_F(FileUtilsTest, LinksInsideTheRootAreFollowedAndLinksOutsideAreRefused) {
    namespace fs = std::filesystem;
    TempDir outside;
    outside.write("secret.txt", "secret");
    outside.write("folder/page.json", "{}");
    dir().write("book/real.txt", "real");
    fs::create_symlink("real.txt", dir().path() + "/book/inside.txt");
    fs::create_symlink("../book", dir().path() + "/book/again");
    fs::create_symlink(outside.path() + "/secret.txt", dir().path() + "/book/secret.txt");
    fs::create_symlink(outside.path() + "/folder", dir().path() + "/book/pages");
    fs::create_symlink("loop", dir().path() + "/book/loop");

    EXPECT_EQ(files()->getFileData("book/inside.txt"), "real");
    EXPECT_EQ(files()->getFileData("book/again/again/real.txt"), "real");
    EXPECT_EQ(files()->pathForReading("book/inside.txt", CCFileUtils::FileKind::Other),
              fs::canonical(dir().path() + "/book/real.txt").string());
    for (const char* name : {"book/secret.txt", "book/pages/page.json", "book/loop"}) {
        SCOPED_TRACE(name);
        LogCapture log;
        CCFileUtils::ReadError error;
        EXPECT_FALSE(files()->getFileData(name, &error, CCFileUtils::FileKind::Layout));
        EXPECT_EQ(error, CCFileUtils::ReadError::Refused);
        EXPECT_EQ(files()->pathForReading(name, CCFileUtils::FileKind::Layout), "");
        EXPECT_FALSE(files()->isFileExist(name));
        ASSERT_EQ(log.lines().size(), 3u);
        EXPECT_EQ(log.count(std::string("CCFileUtils: refusing '") + name + "'"), 3);
    }
    LogCapture log;
    files()->getFileData("book/secret.txt");
    EXPECT_TRUE(log.contains("leads outside the resource root"));
}

TEST_F(FileUtilsTest, RootReachedThroughALinkStillHoldsItsFiles) {
    TempDir other;
    other.write("book/a.txt", "a");
    std::filesystem::create_symlink(other.path() + "/book", dir().path() + "/linked-root");
    files()->setResourceRoot(dir().path() + "/linked-root");
    EXPECT_EQ(files()->getFileData("a.txt"), "a");
}

TEST_F(FileUtilsTest, FifosAndDevicesAreRefusedWithoutBlocking) {
    ASSERT_EQ(mkfifo((dir().path() + "/voice.mp3").c_str(), 0644), 0);
    std::filesystem::create_symlink("voice.mp3", dir().path() + "/voice-link.mp3");
    const std::pair<std::string, const char*> cases[] = {{"voice.mp3", "a FIFO, not a regular file"},
                                                         {"voice-link.mp3", "a FIFO, not a regular file"}};
    for (const auto& [name, why] : cases) {
        SCOPED_TRACE(name);
        LogCapture log;
        CCFileUtils::ReadError error;
        // Opening a FIFO for reading blocks until a writer comes: none will.
        EXPECT_FALSE(files()->getFileData(name, &error, CCFileUtils::FileKind::Sound));
        EXPECT_EQ(error, CCFileUtils::ReadError::Refused);
        EXPECT_EQ(files()->pathForReading(name, CCFileUtils::FileKind::Sound), "");
        EXPECT_EQ(log.count(why), 2);
    }
    // A device that never ends: only a root of "/" reaches one.
    files()->setResourceRoot("/");
    LogCapture log;
    CCFileUtils::ReadError error;
    EXPECT_FALSE(files()->getFileData("dev/zero", &error, CCFileUtils::FileKind::Picture));
    EXPECT_EQ(error, CCFileUtils::ReadError::Refused);
    EXPECT_TRUE(log.contains("'dev/zero': a character device, not a regular file"));
}

TEST_F(FileUtilsTest, FilesBeyondTheirKindsLimitAreRefusedUnread) {
    const std::uintmax_t limit = CCFileUtils::sizeLimit(CCFileUtils::FileKind::Layout);
    EXPECT_EQ(limit, CCFileUtils::kMaxLayoutBytes);
    // Sparse: the size is claimed, not written; reading it whole would take 3 GB.
    std::string huge = dir().write("huge.json", "{}");
    std::filesystem::resize_file(huge, 3ull << 30);
    std::string edge = dir().write("edge.json", "");
    std::filesystem::resize_file(edge, limit);
    std::string over = dir().write("over.json", "");
    std::filesystem::resize_file(over, limit + 1);

    LogCapture log;
    CCFileUtils::ReadError error;
    EXPECT_FALSE(files()->getFileData("huge.json", &error, CCFileUtils::FileKind::Layout));
    EXPECT_EQ(error, CCFileUtils::ReadError::Refused);
    EXPECT_TRUE(log.contains("'huge.json': 3221225472 bytes, beyond the limit of 64 MB for a layout"));
    EXPECT_FALSE(files()->getFileData("over.json", &error, CCFileUtils::FileKind::Layout));
    EXPECT_EQ(error, CCFileUtils::ReadError::Refused);
    EXPECT_EQ(files()->pathForReading("over.json", CCFileUtils::FileKind::Sound), "");
    EXPECT_EQ(log.lines().size(), 3u);
    // The limit itself is allowed, and a file that exists still exists.
    EXPECT_EQ(files()->getFileData("edge.json", &error, CCFileUtils::FileKind::Layout)->size(), limit);
    EXPECT_TRUE(files()->isFileExist("huge.json"));
    EXPECT_EQ(log.lines().size(), 3u);
}
