#include "gui/action/ActionManager.h"

#include "engine/base/CCArray.h"
#include "engine/base/CCDictionary.h"
#include "engine/base/CCLog.h"
#include "gui/LayoutReader.h"
#include "gui/UIToolkit.h"
#include "gui/action/ActionObject.h"

namespace gui {

namespace {
ActionManager* g_instance = nullptr;
} // namespace

ActionManager::ActionManager() : m_animationsByFile(engine::CCDictionary::create()) {}

ActionManager::~ActionManager() {
    m_animationsByFile->removeAllObjects();
}

ActionManager* ActionManager::instance() {
    if (!g_instance) {
        g_instance = new ActionManager();
        // A screen that purges the toolkit drops the animations with it.
        UIToolkit::addPurgeHook(&ActionManager::purge);
    }
    return g_instance;
}

bool ActionManager::hasInstance() {
    return g_instance != nullptr;
}

void ActionManager::purge() {
    ActionManager* manager = g_instance;
    g_instance = nullptr;
    if (manager) manager->release();
}

std::string ActionManager::fileKey(const std::string& fileName) {
    std::string::size_type slash = fileName.rfind('/');
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

void ActionManager::readAnimations(const std::string& fileName, const Json::Value* animation,
                                   engine::CCObject* root) {
    engine::CCArray* animations = engine::CCArray::create();
    int count = LayoutReader::getArrayCount(animation, "actionlist");
    for (int i = 0; i < count; ++i) {
        const Json::Value* entry = LayoutReader::getObjectFromArray(animation, "actionlist", i);
        if (!entry) {
            engine::CCLog("ActionManager: %s: animation %d is not an object; skipped", fileName.c_str(), i);
            continue;
        }
        ActionObject* object = ActionObject::create();
        object->readFromJson(entry, root);
        animations->addObject(object);
    }
    m_animationsByFile->setObject(animations, fileKey(fileName));
}

engine::CCArray* ActionManager::getAnimations(const std::string& fileName) const {
    return dynamic_cast<engine::CCArray*>(m_animationsByFile->objectForKey(fileKey(fileName)));
}

ActionObject* ActionManager::getAnimation(const std::string& fileName, const std::string& name) const {
    engine::CCArray* animations = getAnimations(fileName);
    if (!animations) return nullptr;
    for (engine::CCObject* object : *animations) {
        auto* animation = static_cast<ActionObject*>(object);
        if (animation->getName() == name) return animation;
    }
    return nullptr;
}

bool ActionManager::playAnimation(const std::string& fileName, const std::string& name) {
    ActionObject* animation = getAnimation(fileName, name);
    if (!animation) {
        engine::CCLog("ActionManager: no animation \"%s\" in %s", name.c_str(), fileKey(fileName).c_str());
        return false;
    }
    animation->play();
    return true;
}

bool ActionManager::stopAnimation(const std::string& fileName, const std::string& name) {
    ActionObject* animation = getAnimation(fileName, name);
    if (!animation) {
        engine::CCLog("ActionManager: no animation \"%s\" in %s", name.c_str(), fileKey(fileName).c_str());
        return false;
    }
    animation->stop();
    return true;
}

} // namespace gui
