#include "tools/book/SheetPacker.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <fstream>

namespace bookmaker {

namespace {

constexpr int kAtlasWidth = 512;
constexpr int kSpacing = 2; // keeps filtering from bleeding between frames

std::string braced(int a, int b) {
    // Appended piece by piece: GCC 12 warns (-Wrestrict) on "literal" + string.
    std::string text(1, '{');
    text.append(std::to_string(a)).append(1, ',').append(std::to_string(b)).append(1, '}');
    return text;
}

} // namespace

void SheetPacker::add(const std::string& frameName, const std::string& path) {
    m_frames.emplace_back(frameName, path);
}

bool SheetPacker::write(const std::string& sheetPath, std::string& error) const {
    struct Placed {
        std::string name;
        SDL_Surface* surface;
        int x, y;
    };
    std::vector<Placed> placed;
    auto freeAll = [&] {
        for (Placed& p : placed)
            SDL_FreeSurface(p.surface);
    };
    // Rows left to right, a new row when one is full.
    int x = 0, y = 0, rowHeight = 0;
    for (const auto& [name, path] : m_frames) {
        SDL_Surface* surface = IMG_Load(path.c_str());
        if (!surface) {
            error = "cannot read " + path + ": " + IMG_GetError();
            freeAll();
            return false;
        }
        if (x > 0 && x + surface->w > kAtlasWidth) {
            x = 0;
            y += rowHeight + kSpacing;
            rowHeight = 0;
        }
        placed.push_back({name, surface, x, y});
        x += surface->w + kSpacing;
        rowHeight = std::max(rowHeight, surface->h);
    }
    int height = y + rowHeight;
    SDL_Surface* atlas =
        SDL_CreateRGBSurfaceWithFormat(0, kAtlasWidth, std::max(1, height), 32, SDL_PIXELFORMAT_ARGB8888);
    if (!atlas) {
        error = "no memory for the atlas";
        freeAll();
        return false;
    }
    SDL_FillRect(atlas, nullptr, 0);

    std::string base = sheetPath.substr(0, sheetPath.rfind('.'));
    std::string atlasFile = base + ".png";
    std::string atlasName = atlasFile.substr(atlasFile.rfind('/') + 1);
    std::string plist = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                        "<plist version=\"1.0\">\n<dict>\n  <key>frames</key>\n  <dict>\n";
    for (const Placed& p : placed) {
        SDL_SetSurfaceBlendMode(p.surface, SDL_BLENDMODE_NONE);
        SDL_Rect at{p.x, p.y, p.surface->w, p.surface->h};
        SDL_BlitSurface(p.surface, nullptr, atlas, &at);
        std::string size = braced(p.surface->w, p.surface->h);
        plist += "    <key>" + p.name + "</key>\n    <dict>\n" + "      <key>frame</key><string>{" +
                 braced(p.x, p.y) + "," + size + "}</string>\n" +
                 "      <key>offset</key><string>{0,0}</string>\n      <key>rotated</key><false/>\n" +
                 "      <key>sourceColorRect</key><string>{{0,0}," + size + "}</string>\n" +
                 "      <key>sourceSize</key><string>" + size + "</string>\n    </dict>\n";
    }
    plist += "  </dict>\n  <key>metadata</key>\n  <dict>\n    <key>format</key><integer>2</integer>\n"
             "    <key>realTextureFileName</key><string>" +
             atlasName +
             "</string>\n"
             "    <key>size</key><string>" +
             braced(kAtlasWidth, std::max(1, height)) +
             "</string>\n"
             "    <key>textureFileName</key><string>" +
             atlasName + "</string>\n  </dict>\n</dict>\n</plist>\n";
    freeAll();

    bool saved = IMG_SavePNG(atlas, atlasFile.c_str()) == 0;
    SDL_FreeSurface(atlas);
    std::ofstream out(sheetPath);
    out << plist;
    if (!saved || !out) {
        error = "cannot write " + sheetPath + " or its atlas";
        return false;
    }
    return true;
}

} // namespace bookmaker
