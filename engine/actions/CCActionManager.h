#pragma once
// Runs the actions of every node, frame by frame. Actions are retained while
// they run; targets are not (a node stops its actions when it dies).
#include "engine/base/CCObject.h"

#include <memory>
#include <vector>

namespace engine {

class CCAction;
class CCNode;

class CCActionManager : public CCObject {
public:
    ~CCActionManager() override;

    // Starts `action` on `target` at once; a paused target's actions wait.
    void addAction(CCAction* action, CCNode* target, bool paused);
    void removeAction(CCAction* action);
    void removeActionByTag(int tag, const CCNode* target);
    void removeAllActionsFromTarget(const CCNode* target);
    void removeAllActions();
    CCAction* getActionByTag(int tag, const CCNode* target) const;
    unsigned int numberOfRunningActionsInTarget(const CCNode* target) const;
    void pauseTarget(const CCNode* target);
    void resumeTarget(const CCNode* target);

    void update(float dt) override;

private:
    struct Entry {
        CCAction* action; // retained
        CCNode* target;
        bool paused;
        bool removed = false;
    };
    void removeEntryAt(size_t index);
    void compact();

    std::vector<std::unique_ptr<Entry>> m_entries;
    bool m_updating = false;
};

} // namespace engine
