#pragma once
// How a texture name from a layout file is resolved. The values are part of
// the layout-file format.

namespace gui {

enum TextureKind {
    UI_TEX_TYPE_LOCAL = 0, // an image file under the resource root
    UI_TEX_TYPE_PLIST = 1, // a sprite frame of a sheet already loaded
};

} // namespace gui
