#pragma once
// Runs the actions of every node, frame by frame. Actions are retained while
// they run; targets are not (a node stops its actions when it dies).
//
// Actions step in the order they were added. Each target's actions are also
// indexed by target, so that what a node does with its own actions (pause,
// resume, remove on exit and cleanup) costs no walk over everybody's.
#include "engine/base/CCObject.h"

#include <memory>
#include <unordered_map>
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
    // Whether the next update steps any action.
    bool hasRunningActions() const;

    void update(float dt) override;

private:
    struct Entry {
        CCAction* action; // retained until released; then null
        CCNode* target;
        bool paused;
        bool removed = false;
    };
    void removeEntry(Entry& entry);
    // Takes a removed or finished entry out of its target's index.
    void forget(const Entry& entry);
    // Drops removed entries from the list (releasing actions still held).
    void compact();

    std::vector<std::unique_ptr<Entry>> m_entries;
    // Live entries only.
    std::unordered_map<const CCNode*, std::vector<Entry*>> m_byTarget;
    // Removed entries still in m_entries.
    size_t m_removedCount = 0;
    bool m_updating = false;
};

} // namespace engine
