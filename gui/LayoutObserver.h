#pragma once
// What the layout reader can tell a watcher while it reads: each resource
// that a property reader loads by name, and each node whose "options" it
// passes over. The book checker checks exactly these, so it cannot drift
// from what the reader reads.
#include <string>

namespace gui {

// A file or sprite frame that a layout names and the reader loads.
struct NamedResource {
    enum Kind {
        kPicture,     // a picture file (textures and character maps)
        kSpriteFrame, // a frame of a sprite sheet already loaded
        kSpriteSheet, // a sheet of "textures" (a property list)
        kBitmapFont,  // a bitmap font description (.fnt)
    };
    Kind kind = kPicture;
    std::string key;  // the property that names it ("normalData", "textures", ...)
    std::string name; // a file under the resource root, or a frame name
};

class LayoutObserver {
public:
    virtual ~LayoutObserver() = default;
    // Called as the reader loads `resource`, whether or not the load succeeds.
    virtual void resourceNamed(const NamedResource& resource) { (void)resource; }
    // A node of `className` whose "options" are there but not an object; it
    // is read with every property at its default.
    virtual void optionsIgnored(const std::string& className) { (void)className; }
};

} // namespace gui
