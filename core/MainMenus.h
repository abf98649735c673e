#pragma once

#include <array>

#include "core/LumoData.h"

namespace kov {

// What the stage and generator allow in the main window's menus. The channel items keep their previous
// visibility where the rules leave them alone, so the rules take the current state and return the next one.
struct MenuState {
    bool saveEnabled = false;
    bool saveAsEnabled = false;
    bool maskMenuEnabled = false;
    bool reportEnabled = false;
    std::array<bool, 7> maskVisible{false, true, true, true, true, true, true};  // [1..6]
    std::array<bool, 3> pageVisible{false, true, true};                          // [1..2]

    bool operator==(const MenuState&) const = default;
};

MenuState UpdateMainMenus(const MenuState& current, const LumoData& d);

}  // namespace kov
