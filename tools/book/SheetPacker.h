#pragma once
// Packs pictures into one sprite sheet: an atlas PNG and the property list
// that names each frame's rectangle in it.
#include <string>
#include <vector>

namespace bookmaker {

class SheetPacker {
public:
    // Adds the PNG file `path` as the frame `frameName`.
    void add(const std::string& frameName, const std::string& path);
    // Writes `sheetPath` (.plist) and the atlas beside it (same name, .png);
    // false, with a message in `error`, when a picture cannot be read.
    bool write(const std::string& sheetPath, std::string& error) const;

private:
    std::vector<std::pair<std::string, std::string>> m_frames;
};

} // namespace bookmaker
