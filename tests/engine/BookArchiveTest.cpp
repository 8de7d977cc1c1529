#include "engine/platform/BookArchive.h"
#include "engine/platform/CCFileUtils.h"
#include "engine/text/CCFontCache.h"
#include "support/SwappedFifo.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <zip.h>
#include <zlib.h>

#include <fstream>
#include <iterator>
#include <sys/stat.h>

using namespace engine;
using testsupport::LogCapture;
using testsupport::TempDir;

namespace {

struct Entry {
    std::string name;
    std::string data;
    bool store = false;   // no compression
    bool symlink = false; // marked as a Unix symbolic link
    bool encrypted = false;
    bool cp437 = false; // the name's bytes are code page 437, not marked as UTF-8
};

// Writes `entries` as a ZIP archive with libzip and returns its path.
std::string makeArchive(const TempDir& dir, const std::string& file, const std::vector<Entry>& entries) {
    const std::string path = dir.path() + "/" + file;
    int code = 0;
    zip* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    EXPECT_NE(archive, nullptr);
    for (const Entry& entry : entries) {
        zip_source_t* source = zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
        const zip_int64_t at = zip_file_add(archive, entry.name.c_str(), source,
                                            entry.cp437 ? ZIP_FL_ENC_CP437 : ZIP_FL_ENC_UTF_8);
        EXPECT_GE(at, 0) << entry.name << ": " << zip_strerror(archive);
        const auto index = static_cast<zip_uint64_t>(at);
        if (entry.store) zip_set_file_compression(archive, index, ZIP_CM_STORE, 0);
        if (entry.symlink)
            zip_file_set_external_attributes(archive, index, 0, ZIP_OPSYS_UNIX, (0120777u) << 16);
        if (entry.encrypted) {
            EXPECT_EQ(zip_file_set_encryption(archive, index, ZIP_EM_TRAD_PKWARE, "secret"), 0);
        }
    }
    EXPECT_EQ(zip_close(archive), 0);
    return path;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void spill(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Replaces every occurrence of `from` (same length as `to`) in the file's bytes.
void patch(const std::string& path, const std::string& from, const std::string& to) {
    std::string bytes = slurp(path);
    for (size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + to.size()))
        bytes.replace(at, from.size(), to);
    spill(path, bytes);
}

std::string little(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(i < 8 ? (value >> (8 * i)) & 0xff : 0);
    return out;
}

std::unique_ptr<BookArchive> openOk(const std::string& path,
                                    const BookArchive::Limits& limits = BookArchive::Limits()) {
    std::string error;
    auto archive = BookArchive::open(path, error, limits);
    EXPECT_NE(archive, nullptr) << error;
    return archive;
}

} // namespace

TEST(BookArchiveTest, ReadsEntriesByTheirNormalNames) {
    TempDir dir;
    const std::string binary("a\0b\xff", 4);
    auto archive = openOk(makeArchive(
        dir, "book.lirra",
        {{"String.xml", "<plist/>"}, {"Images/p1.png", binary, true}, {"mainpage/", ""}, {"empty.txt", ""}}));
    ASSERT_TRUE(archive);
    BookArchive::ReadError error = BookArchive::ReadError::Unreadable;
    EXPECT_EQ(archive->read("String.xml", 100, error), "<plist/>");
    EXPECT_EQ(error, BookArchive::ReadError::None);
    EXPECT_EQ(archive->read("Images/p1.png", 100, error), binary);
    EXPECT_EQ(archive->read("empty.txt", 100, error), "");
    EXPECT_EQ(archive->entries().size(), 3u); // the folder entry is no file
    EXPECT_EQ(archive->read("mainpage", 100, error), std::nullopt);
    EXPECT_EQ(error, BookArchive::ReadError::Missing);

    // A caller's per-kind limit applies to entries as it does to files.
    LogCapture log;
    EXPECT_EQ(archive->read("String.xml", 4, error, "a layout"), std::nullopt);
    EXPECT_EQ(error, BookArchive::ReadError::Refused);
    EXPECT_TRUE(log.contains("book.lirra: refusing entry 'String.xml'"));
    EXPECT_TRUE(log.contains("for a layout"));
}

TEST(BookArchiveTest, RefusesHostileEntriesByNameEachWithOneLine) {
    TempDir dir;
    LogCapture log;
    auto archive = openOk(makeArchive(dir, "hostile.lirra",
                                      {{"../outside.txt", "x"},
                                       {"a/../../up.txt", "x"},
                                       {"/etc/passwd", "x"},
                                       {"C:/win.txt", "x"},
                                       {"..\\..\\evil.txt", "x"},
                                       {"pics\\..\\..\\up.png", "x"},
                                       {"link.png", "/etc/passwd", true, true},
                                       {"secret.txt", "hidden", false, false, true},
                                       {"dup.txt", "one"},
                                       {"./dup.txt", "two"},
                                       {"fine.txt", "ok"}}));
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->entries().size(), 1u);
    EXPECT_TRUE(archive->contains("fine.txt"));
    for (const char* entry :
         {"../outside.txt", "a/../../up.txt", "/etc/passwd", "C:/win.txt", "..\\..\\evil.txt",
          "pics\\..\\..\\up.png", "link.png", "secret.txt", "./dup.txt"})
        EXPECT_EQ(log.count("hostile.lirra: refusing entry '" + std::string(entry) + "'"), 1) << entry;
    EXPECT_EQ(log.count("climbs out of the book"), 4);
    EXPECT_TRUE(log.contains("'link.png': a symbolic link"));
    EXPECT_TRUE(log.contains("'secret.txt': encrypted"));
    EXPECT_TRUE(log.contains("appears twice"));

    // A refused entry behaves as a missing file, with no second line.
    log.clear();
    BookArchive::ReadError error = BookArchive::ReadError::None;
    EXPECT_EQ(archive->read("dup.txt", 100, error), std::nullopt);
    EXPECT_EQ(error, BookArchive::ReadError::Refused);
    EXPECT_EQ(archive->read("link.png", 100, error), std::nullopt);
    EXPECT_TRUE(log.lines().empty());
}

TEST(BookArchiveTest, OneNameTwiceInTheDirectoryMakesTheArchiveUnusable) {
    // libzip will not write one name twice; the second name is patched in.
    TempDir dir;
    const std::string path = makeArchive(dir, "twice.lirra", {{"aaaa.txt", "first"}, {"bbbb.txt", "second"}});
    patch(path, "bbbb.txt", "aaaa.txt");
    std::string error;
    EXPECT_EQ(BookArchive::open(path, error), nullptr);
    EXPECT_EQ(error, "two entries have the same name");
}

TEST(BookArchiveTest, RefusesEntriesBeyondTheSizeAndRatioLimits) {
    TempDir dir;
    BookArchive::Limits limits;
    limits.entryBytes = 1000;
    limits.totalBytes = 1500;
    LogCapture log;
    auto archive = openOk(makeArchive(dir, "big.lirra",
                                      {{"big.txt", std::string(1001, 'x'), true},
                                       {"a.txt", std::string(800, 'a'), true},
                                       {"b.txt", std::string(800, 'b'), true},
                                       {"c.txt", std::string(600, 'c'), true}}),
                          limits);
    ASSERT_TRUE(archive);
    EXPECT_TRUE(log.contains("'big.txt': 1001 bytes unpacked, beyond the limit of 1000 bytes for one entry"));
    EXPECT_TRUE(archive->contains("a.txt"));
    EXPECT_TRUE(log.contains("'b.txt': the entries unpack to more than 1500 bytes in all"));
    EXPECT_TRUE(archive->contains("c.txt")); // 800 + 600 still fit

    // A real bomb with the real limits: 8 MB of zeros pack to a few kilobytes.
    log.clear();
    auto bomb = openOk(makeArchive(dir, "bomb.lirra", {{"zeros.png", std::string(8 << 20, '\0')}}));
    ASSERT_TRUE(bomb);
    EXPECT_FALSE(bomb->contains("zeros.png"));
    EXPECT_TRUE(log.contains("bomb.lirra: refusing entry 'zeros.png'"));
    EXPECT_TRUE(log.contains("a decompression bomb"));
    // Well-packed text below the ratio-free size is fine.
    EXPECT_TRUE(
        openOk(makeArchive(dir, "text.lirra", {{"t.xml", std::string(500000, ' ')}}))->contains("t.xml"));
}

TEST(BookArchiveTest, AnEntryThatUnpacksBeyondItsClaimOrIsDamagedReadsAsNothing) {
    TempDir dir;
    // The stated sizes (local and central) of a 16-byte entry say 8.
    const std::string path = makeArchive(dir, "lies.lirra", {{"lie.txt", std::string(16, 'L'), true}});
    std::string bytes = slurp(path);
    const std::string sixteen("\x10\x00\x00\x00\x10\x00\x00\x00", 8);
    const std::string eight("\x10\x00\x00\x00\x08\x00\x00\x00", 8);
    ASSERT_NE(bytes.find(sixteen), std::string::npos);
    patch(path, sixteen, eight);
    LogCapture log;
    auto lying = openOk(path);
    ASSERT_TRUE(lying);
    BookArchive::ReadError error = BookArchive::ReadError::None;
    EXPECT_EQ(lying->read("lie.txt", 100, error), std::nullopt);
    EXPECT_NE(error, BookArchive::ReadError::None);
    EXPECT_TRUE(log.contains("lies.lirra"));

    // A flipped byte in the data fails the checksum.
    const std::string damaged = makeArchive(dir, "damaged.lirra", {{"d.txt", "abcdefghijklmnop", true}});
    patch(damaged, "abcdefghijklmnop", "abcdefghijklmnoX");
    log.clear();
    auto broken = openOk(damaged);
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->read("d.txt", 100, error), std::nullopt);
    EXPECT_EQ(error, BookArchive::ReadError::Unreadable);
    EXPECT_TRUE(log.contains("damaged.lirra: entry 'd.txt' is damaged"));
}

TEST(BookArchiveTest, UnusableFilesGiveNoArchiveAndAReason) {
    TempDir dir;
    std::string error;
    EXPECT_EQ(BookArchive::open(dir.write("text.lirra", "just some words, not an archive"), error), nullptr);
    EXPECT_EQ(error, "not a ZIP archive");
    EXPECT_EQ(BookArchive::open(dir.path() + "/none.lirra", error), nullptr);
    EXPECT_EQ(error, "no such file");
    EXPECT_EQ(BookArchive::open(dir.path(), error), nullptr);
    EXPECT_EQ(error, "not a regular file");
    const std::string fifo = dir.path() + "/fifo.lirra";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(BookArchive::open(fifo, error), nullptr); // would block if opened

    // Cut short: the central directory is gone or no longer matches.
    const std::string path =
        makeArchive(dir, "cut.lirra", {{"a.txt", std::string(3000, 'a')}, {"b.txt", "b"}});
    const std::string whole = slurp(path);
    for (size_t keep : {whole.size() - 10, whole.size() / 2, size_t(30)}) {
        spill(path, whole.substr(0, keep));
        error.clear();
        EXPECT_EQ(BookArchive::open(path, error), nullptr) << keep;
        EXPECT_FALSE(error.empty());
    }
}

TEST(BookArchiveTest, ADirectoryListingMoreEntriesThanABookNeedsIsRefusedBeforeIndexing) {
    TempDir dir;
    std::vector<Entry> entries;
    for (int i = 0; i < 30; ++i)
        entries.push_back({"e" + std::to_string(i) + ".txt", "x"});
    const std::string path = makeArchive(dir, "many.lirra", entries);
    BookArchive::Limits limits;
    limits.entries = 29;
    std::string error;
    EXPECT_EQ(BookArchive::open(path, error, limits), nullptr);
    EXPECT_EQ(error, "its directory lists 30 entries, more than the 29 a book may hold");
    limits.entries = 30;
    EXPECT_TRUE(openOk(path, limits));

    // Only the end record is read: one claiming 65535 entries is refused
    // whatever follows it, and so is a ZIP64 record claiming a million.
    const std::string bytes = slurp(path);
    const size_t end = bytes.rfind("PK\5\6");
    ASSERT_NE(end, std::string::npos);
    std::string claimed = bytes;
    claimed.replace(end + 8, 4, "\xff\xfe\xff\xfe");
    spill(path, claimed);
    EXPECT_EQ(BookArchive::open(path, error), nullptr);
    EXPECT_EQ(error, "its directory lists 65279 entries, more than the 20000 a book may hold");

    auto little = [](std::uint64_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xff);
        return out;
    };
    std::string zip64 = "PK\6\6" + little(44, 8) + little(45, 2) + little(45, 2) + little(0, 8) +
                        little(1000000, 8) + little(1000000, 8) + little(46000000, 8) + little(0, 8);
    zip64 += "PK\6\7" + little(0, 4) + little(0, 8) + little(1, 4);
    zip64 += "PK\5\6" + little(0, 4) + little(0xffff, 2) + little(0xffff, 2) + little(0xffffffff, 4) +
             little(0xffffffff, 4) + little(0, 2);
    spill(path, zip64);
    EXPECT_EQ(BookArchive::open(path, error), nullptr);
    EXPECT_EQ(error, "its directory lists 1000000 entries, more than the 20000 a book may hold");
}

TEST(BookArchiveTest, AnArchiveSwappedForAFifoAfterItsNameWasCheckedIsNotRead) {
    TempDir dir;
    const std::string path = makeArchive(dir, "book.lirra", {{"a.txt", "a"}});
    std::unique_ptr<testsupport::SwappedFifo> fifo;
    // Where a hostile book swaps the file: after every check on the name,
    // just before the open. The FIFO answers any open, so nothing blocks.
    CCFileUtils::setBeforeOpenHook([&](const std::string& at) {
        if (at == path) fifo = std::make_unique<testsupport::SwappedFifo>(at);
    });
    std::string error;
    EXPECT_EQ(BookArchive::open(path, error), nullptr);
    CCFileUtils::setBeforeOpenHook(nullptr);
    ASSERT_TRUE(fifo && fifo->made());
    EXPECT_EQ(error, "not a regular file");
}

TEST(BookArchiveTest, TheFileLayerReadsABookFromItsArchive) {
    TempDir dir;
    const std::string path = makeArchive(dir, "book.lirra", {{"Images/p.png", "png"}, {"../x.txt", "x"}});
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    const std::string previous = files->getResourceRoot();
    std::string error;
    {
        LogCapture log;
        ASSERT_TRUE(files->setResourceArchive(path, error)) << error;
        EXPECT_EQ(log.count("book.lirra: refusing entry '../x.txt'"), 1);
    }
    EXPECT_EQ(files->getFileData("./Images//p.png"), "png");
    EXPECT_TRUE(files->isFileExist("Images/p.png"));
    EXPECT_EQ(files->fullPathForFilename("Images/p.png"), path + "/Images/p.png");
    CCFileUtils::ReadError why = CCFileUtils::ReadError::None;
    EXPECT_EQ(files->getFileData("Images/none.png", &why), std::nullopt);
    EXPECT_EQ(why, CCFileUtils::ReadError::Missing);
    EXPECT_EQ(files->getFileData("x.txt", &why), std::nullopt);
    {
        LogCapture log;
        EXPECT_EQ(files->getFileData("../x.txt", &why), std::nullopt);
        EXPECT_EQ(why, CCFileUtils::ReadError::Refused);
        EXPECT_EQ(log.lines().size(), 1u);
    }
    EXPECT_FALSE(files->setResourceArchive(dir.write("bad.lirra", "no"), error));
    EXPECT_EQ(files->getFileData("Images/p.png"), "png"); // the open book stays
    files->setResourceRoot(previous);
    EXPECT_EQ(files->resourceArchive(), nullptr);
}

TEST(BookArchiveTest, ABooksFontIsOpenedFromTheArchive) {
    TempDir dir;
    const std::string ttf = slurp("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ASSERT_FALSE(ttf.empty());
    const std::string path = makeArchive(dir, "fonts.lirra", {{"fonts/Book.ttf", ttf}});
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    const std::string previous = files->getResourceRoot();
    std::string error;
    ASSERT_TRUE(files->setResourceArchive(path, error)) << error;
    CCFontCache* fonts = CCFontCache::sharedFontCache();
    fonts->purge();
    const CCFontFace face = fonts->faceForName("fonts/Book.ttf", false);
    EXPECT_EQ(face.file, path + "/fonts/Book.ttf");
    ASSERT_TRUE(face.data);
    EXPECT_NE(fonts->font(face, 24), nullptr);
    fonts->purge();
    files->setResourceRoot(previous);
}

TEST(BookArchiveTest, NamesAndSizesReadAsOtherWritersMeanThem) {
    TempDir dir;
    // Names in the DOS code page (older tools), and UTF-8 written unmarked.
    const std::string names = makeArchive(dir, "names.lirra",
                                          {{"B\x84r.png", "bear", false, false, false, true},
                                           {"Kxxse.png", "cheese", false, false, false, true}});
    patch(names, "Kxxse", "K\xc3\xa4se");
    auto named = openOk(names);
    ASSERT_TRUE(named);
    BookArchive::ReadError error = BookArchive::ReadError::None;
    EXPECT_EQ(named->read("B\xc3\xa4r.png", 100, error), "bear");
    EXPECT_EQ(named->read("K\xc3\xa4se.png", 100, error), "cheese");

    // The unpacked size given in a ZIP64 extra field, as `zip -fz` gives it,
    // however small the entry.
    const std::string data = "sizes in a ZIP64 field";
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    const std::string sizes = little(1, 2) + little(16, 2) + little(data.size(), 8) + little(data.size(), 8);
    const std::string local = "PK\3\4" + little(45, 2) + little(0, 8) + little(crc, 4) +
                              std::string(8, '\xff') + little(5, 2) + little(sizes.size(), 2) + "z.txt" +
                              sizes + data;
    const std::string size = little(1, 2) + little(8, 2) + little(data.size(), 8);
    const std::string central = "PK\1\2" + little(0x031E, 2) + little(45, 2) + little(0, 8) + little(crc, 4) +
                                little(data.size(), 4) + std::string(4, '\xff') + little(5, 2) +
                                little(size.size(), 2) + little(0, 14) + "z.txt" + size;
    const std::string end = "PK\5\6" + little(0, 4) + little(1, 2) + little(1, 2) +
                            little(central.size(), 4) + little(local.size(), 4) + little(0, 2);
    const std::string zip64 = dir.write("zip64.lirra", local + central + end);
    auto wide = openOk(zip64);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->sizeOf("z.txt"), data.size());
    EXPECT_EQ(wide->read("z.txt", 100, error), data);
    // Its CRC is still checked.
    patch(zip64, "sizes in", "sizes IN");
    LogCapture log;
    EXPECT_EQ(openOk(zip64)->read("z.txt", 100, error), std::nullopt);
    EXPECT_EQ(error, BookArchive::ReadError::Unreadable);
    EXPECT_TRUE(log.contains("zip64.lirra: entry 'z.txt' is damaged: CRC error"));

    // An empty archive is only its end record.
    auto empty = openOk(dir.write("empty.lirra", "PK\5\6" + little(0, 18)));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->entries().empty());
}

TEST(BookArchiveTest, ADirectoryThatDisagreesWithTheEntriesMakesTheArchiveUnusable) {
    TempDir dir;
    const std::string path = makeArchive(dir, "book.lirra", {{"a.txt", "aaaa"}, {"b.txt", "bbbb", true}});
    const std::string whole = slurp(path);
    std::string error;
    std::string bytes = whole;
    bytes[bytes.find("PK\3\4", 4) + 3] = 9; // b.txt's local header is gone
    spill(path, bytes);
    EXPECT_EQ(BookArchive::open(path, error), nullptr);
    EXPECT_EQ(error, "a damaged ZIP archive (entry 'b.txt': its local header does not match the directory)");

    // The end record counts one entry: the directory goes on past it.
    bytes = whole;
    bytes.replace(bytes.rfind("PK\5\6") + 8, 4, little(1, 2) + little(1, 2));
    spill(path, bytes);
    EXPECT_EQ(BookArchive::open(path, error), nullptr);
    EXPECT_EQ(error, "a damaged ZIP archive (its directory does not end where its end record says)");
}
