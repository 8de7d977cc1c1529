// Packing a book folder into one .lirra file: what the reader's archive
// reads back, the same bytes from one folder whatever its files' times, and
// a failed pack that leaves nothing behind.
#include "tools/book/BookPacker.h"
#include "engine/platform/BookArchive.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class BookPackerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("lirra-packer-" + std::to_string(::getpid()));
        m_book = m_root / "book";
        m_archive = m_root / "book.lirra";
        fs::remove_all(m_root);
        fs::create_directories(m_book / "testLirra" / "epc");
        write("String.xml", "<plist/>");
        write("testLirra/StringConfig.xml", "<plist>config</plist>");
        write("testLirra/epc/0a1b.mp3", std::string("\0\xff\xfb binary", 10));
        write("mainpage/mainpage_1.json", "{}");
    }
    void TearDown() override { fs::remove_all(m_root); }
    void write(const std::string& name, const std::string& data) {
        fs::create_directories((m_book / name).parent_path());
        std::ofstream(m_book / name, std::ios::binary) << data;
    }
    static std::string bytes(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    fs::path m_root;
    fs::path m_book;
    fs::path m_archive;
    static constexpr std::time_t kTime = 946684800;
};

TEST_F(BookPackerTest, ReaderFindsEveryFileAtTheArchiveRoot) {
    std::string error;
    ASSERT_TRUE(bookmaker::packBook(m_book.string(), m_archive.string(), error)) << error;
    auto archive = engine::BookArchive::open(m_archive.string(), error);
    ASSERT_TRUE(archive) << error;
    std::map<std::string, std::uint64_t> expected = {{"String.xml", 8},
                                                     {"mainpage/mainpage_1.json", 2},
                                                     {"testLirra/StringConfig.xml", 21},
                                                     {"testLirra/epc/0a1b.mp3", 10}};
    EXPECT_EQ(archive->entries(), expected);
    engine::BookArchive::ReadError readError;
    EXPECT_EQ(archive->read("testLirra/epc/0a1b.mp3", 100, readError), std::string("\0\xff\xfb binary", 10));
    EXPECT_FALSE(fs::exists(m_archive.string() + ".partial"));
}

TEST_F(BookPackerTest, FixedTimeGivesTheSameBytesWhateverTheFilesTimesAndOrder) {
    std::string error;
    ASSERT_TRUE(bookmaker::packBook(m_book.string(), m_archive.string(), error, kTime)) << error;
    const std::string first = bytes(m_archive);
    // The same files written again in another order, with other times.
    fs::remove_all(m_book);
    write("mainpage/mainpage_1.json", "{}");
    write("testLirra/epc/0a1b.mp3", std::string("\0\xff\xfb binary", 10));
    write("testLirra/StringConfig.xml", "<plist>config</plist>");
    write("String.xml", "<plist/>");
    fs::last_write_time(m_book / "String.xml", fs::file_time_type::clock::now() - std::chrono::hours(1000));
    fs::permissions(m_book / "String.xml", fs::perms::owner_all);
    ASSERT_TRUE(bookmaker::packBook(m_book.string(), m_archive.string(), error, kTime)) << error;
    EXPECT_EQ(bytes(m_archive), first);

    int code = 0;
    zip_t* zip = zip_open(m_archive.c_str(), ZIP_RDONLY, &code);
    ASSERT_TRUE(zip);
    zip_stat_t stat;
    ASSERT_EQ(zip_stat(zip, "String.xml", 0, &stat), 0);
    EXPECT_EQ(stat.mtime, kTime);
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    ASSERT_EQ(zip_file_get_external_attributes(zip, stat.index, 0, &system, &attributes), 0);
    EXPECT_EQ(system, ZIP_OPSYS_UNIX);
    EXPECT_EQ(attributes >> 16, 0100644u);
    zip_discard(zip);
}

TEST_F(BookPackerTest, FailureLeavesNoPartialFileAndSaysWhy) {
    std::string error;
    // Nothing to pack: an empty folder, or none at all.
    fs::create_directories(m_root / "empty");
    EXPECT_FALSE(bookmaker::packBook((m_root / "empty").string(), m_archive.string(), error));
    EXPECT_NE(error.find("holds no files"), std::string::npos) << error;
    EXPECT_FALSE(bookmaker::packBook((m_root / "none").string(), m_archive.string(), error));
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(m_archive));

    // A folder in the archive's place stays as it is.
    fs::create_directories(m_archive / "kept");
    EXPECT_FALSE(bookmaker::packBook(m_book.string(), m_archive.string(), error));
    EXPECT_NE(error.find("cannot write " + m_archive.string()), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(m_archive / "kept"));
    EXPECT_FALSE(fs::exists(m_archive.string() + ".partial"));
}

} // namespace
