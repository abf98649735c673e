#include "core/MainMenus.h"

namespace kov {

namespace {

struct ChannelItems {
    std::array<bool, 7> mask;  // [1..6]
    std::array<bool, 3> page;  // [1..2]
};

// The channel items each generator product has, by generator code 1..6.
constexpr std::array<ChannelItems, 7> ChannelItemsByGenerator{{
    {{false, false, false, false, false, false, false}, {false, false, false}},  // 0: no product
    {{false, true, false, false, false, false, false}, {false, true, true}},     // VO120R
    {{false, true, false, false, false, false, false}, {false, true, true}},     // VO120R+DAR131
    {{false, true, true, false, false, false, false}, {false, false, false}},    // DU3001
    {{false, true, true, false, false, false, false}, {false, true, true}},      // DA2500
    {{false, false, false, true, true, true, true}, {false, true, true}},        // ZUV-AR24: channels 3..6
    {{false, true, false, false, false, false, false}, {false, false, false}},   // RUZ1200U
}};

}  // namespace

MenuState UpdateMainMenus(const MenuState& current, const LumoData& d)
{
    MenuState next = current;
    // A name of blanks only is no file: Save would have nowhere sensible to write.
    next.saveEnabled = !d.ProjectFileName.trimmed().isEmpty();

    if (d.ProjectStage == 0) {
        next.saveAsEnabled = false;
        next.maskMenuEnabled = false;
        next.reportEnabled = false;
        return next;
    }
    if (d.ProjectStage < 0 || d.ProjectStage > 3)
        return next;

    next.saveAsEnabled = true;
    next.maskMenuEnabled = true;
    if (d.Generator >= GeneratorVO120R && d.Generator <= GeneratorRUZ1200U) {
        const ChannelItems& items = ChannelItemsByGenerator[static_cast<std::size_t>(d.Generator)];
        next.maskVisible = items.mask;
        next.pageVisible = items.page;
    }
    next.reportEnabled = d.ProjectStage != 1;
    return next;
}

}  // namespace kov
