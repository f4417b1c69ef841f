#include "diary/PageButtons.h"

#include "platform/Commands.h"
#include "skin/Skin.h"

namespace pagelet {

void showPageButtons(Skin& skin, const PageButtons& state)
{
    for (auto& e : skin.elements) {
        switch (e->command) {
        case CMD_EDIT:
        case CMD_SAVE:
            e->command = state.editing ? CMD_SAVE : CMD_EDIT;
            e->cell = state.editing ? 0 : 1;
            break;
        case CMD_WEATHER:
            if (state.weather)
                e->cell = *state.weather;
            e->enabled = state.editing;
            break;
        case CMD_TIMESTAMP:
            e->enabled = state.editing;
            break;
        case CMD_DELETE:
            if (state.deletable)
                e->enabled = *state.deletable;
            break;
        default:
            break;
        }
    }
}

} // namespace pagelet
