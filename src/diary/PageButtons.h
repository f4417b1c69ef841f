#pragma once
#include <cstdint>
#include <optional>

namespace pagelet {

class Skin;

// How the shown page's state appears on the skin's buttons.
struct PageButtons {
    bool editing = false;               // edit button offers saving; weather and time stamp enabled
    std::optional<std::int32_t> weather; // the weather button's mark, when it changes
    std::optional<bool> deletable;       // the delete button, when it changes
};

// Walks every element once, as each state change does.
void showPageButtons(Skin& skin, const PageButtons& state);

} // namespace pagelet
