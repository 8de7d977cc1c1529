#include "tools/book/BookPacker.h"

#include <sys/stat.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace bookmaker {

namespace fs = std::filesystem;

bool packBook(const std::string& folder, const std::string& archive, std::string& error,
              std::optional<std::time_t> fixedTime) {
    std::error_code ec;
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file()) files.push_back(it->path());
    if (ec) {
        error = "cannot read " + folder + " (" + ec.message() + ")";
        return false;
    }
    if (files.empty()) {
        error = folder + " holds no files to pack";
        return false;
    }
    // Name order, so that the archive does not depend on the file system's.
    std::sort(files.begin(), files.end());

    const std::string partial = archive + ".partial";
    fs::remove(partial, ec);
    int code = 0;
    zip_t* zip = zip_open(partial.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip) {
        error = "cannot write " + archive;
        return false;
    }
    for (const fs::path& file : files) {
        const std::string name = fs::relative(file, folder).generic_string();
        zip_source_t* source = zip_source_file(zip, file.c_str(), 0, -1);
        const zip_int64_t at = source ? zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (at < 0) {
            if (source) zip_source_free(source);
            error = "cannot pack " + file.string() + " (" + zip_strerror(zip) + ")";
            zip_discard(zip);
            fs::remove(partial, ec);
            return false;
        }
        if (fixedTime) {
            const auto index = static_cast<zip_uint64_t>(at);
            zip_file_set_mtime(zip, index, *fixedTime, 0);
            zip_file_set_external_attributes(zip, index, 0, ZIP_OPSYS_UNIX, (S_IFREG | 0644u) << 16);
        }
    }
    // The files are read here, at the close.
    if (zip_close(zip) < 0) {
        error = "cannot write " + archive + " (" + zip_strerror(zip) + ")";
        zip_discard(zip);
        fs::remove(partial, ec);
        return false;
    }
    fs::rename(partial, archive, ec);
    if (ec) {
        error = "cannot write " + archive + " (" + ec.message() + ")";
        fs::remove(partial, ec);
        return false;
    }
    return true;
}

} // namespace bookmaker
