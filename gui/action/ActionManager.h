#pragma once
// The UI animations of every layout file read, kept per file: the key is
// the file name after its last "/", so two files of the same name in
// different folders share one entry, the later read replacing the earlier.
//
// One shared instance, made on first use; purge drops it with every
// animation (the screens call it when they go, with the toolkit's purge).
#include "engine/base/CCObject.h"

#include <string>

namespace Json {
class Value;
}

namespace engine {
class CCArray;
class CCDictionary;
} // namespace engine

namespace gui {

class ActionObject;

class ActionManager : public engine::CCObject {
public:
    static ActionManager* instance();
    static bool hasInstance();
    static void purge();

    // The key a file's animations are kept under.
    static std::string fileKey(const std::string& fileName);

    // Reads every "actionlist" entry of `animation` (none: no animations)
    // against the widget tree under `root` and keeps them, in file order,
    // under the file's key.
    void readAnimations(const std::string& fileName, const Json::Value* animation, engine::CCObject* root);
    // The file's animations (ActionObject), or none when it was never read.
    engine::CCArray* getAnimations(const std::string& fileName) const;
    // The file's first animation of that name, or none.
    ActionObject* getAnimation(const std::string& fileName, const std::string& name) const;
    // Plays or stops a whole animation; false (with a log line) when there is none.
    bool playAnimation(const std::string& fileName, const std::string& name);
    bool stopAnimation(const std::string& fileName, const std::string& name);

    ~ActionManager() override;

private:
    ActionManager();

    engine::CCRef<engine::CCDictionary> m_animationsByFile;
};

} // namespace gui
