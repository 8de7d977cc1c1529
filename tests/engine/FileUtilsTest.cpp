#include "engine/platform/CCFileUtils.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
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
