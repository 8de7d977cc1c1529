#pragma once
// Packs a book folder into one .lirra file: a ZIP archive of the folder's
// files at the archive's root, in name order, as the reader opens it.
#include <ctime>
#include <optional>
#include <string>

namespace bookmaker {

// Writes `archive` through a ".partial" file beside it, renamed into place
// only when whole, so that a failed run leaves no half-written book and no
// earlier book damaged. With `fixedTime` every entry carries that time and
// the same file mode, so one folder always packs to the same bytes (ZIP
// times are local times: a caller that wants the same bytes on every
// machine also fixes TZ); without it each file keeps its own time. False,
// with the reason in `error`, when the folder cannot be read or the archive
// cannot be written.
bool packBook(const std::string& folder, const std::string& archive, std::string& error,
              std::optional<std::time_t> fixedTime = std::nullopt);

} // namespace bookmaker
