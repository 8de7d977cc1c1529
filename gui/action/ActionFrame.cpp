#include "gui/action/ActionFrame.h"

#include "engine/base/CCLog.h"

namespace gui {

engine::CCActionInterval* ActionFrame::createAction(float /*duration*/) {
    engine::CCLog("Need a definition of <getAction> for ActionFrame");
    return nullptr;
}

} // namespace gui
