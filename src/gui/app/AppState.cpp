#include "gui/app/AppState.h"

namespace quiltara::gui {

CAppState& AppState() {
    static CAppState state;
    return state;
}

} // namespace quiltara::gui
