#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <utility>

#include "core/MainMenus.h"

namespace kov {
namespace {

using Mask = std::array<bool, 7>;
using Page = std::array<bool, 3>;

MenuState AllChannelsVisible()
{
    MenuState s;
    s.maskVisible = {false, true, true, true, true, true, true};
    s.pageVisible = {false, true, true};
    return s;
}

MenuState NoChannelsVisible()
{
    MenuState s;
    s.maskVisible.fill(false);
    s.pageVisible.fill(false);
    return s;
}

// Every flag on, so that a rule that forgets to switch something off shows.
MenuState EverythingOn()
{
    MenuState s = AllChannelsVisible();
    s.saveEnabled = s.saveAsEnabled = s.maskMenuEnabled = s.reportEnabled = true;
    return s;
}

class MainMenusTest : public ::testing::Test {
protected:
    std::unique_ptr<LumoData> d = std::make_unique<LumoData>();
};

TEST_F(MainMenusTest, StageDecidesSaveAsEqualizeAndReport)
{
    // (stage, menus before, Save As, the mask menu, Report, the channel items from the generator or else as they were)
    const std::tuple<i16, MenuState, bool, bool, bool, bool> cases[] = {
        {0, EverythingOn(), false, false, false, false},
        {0, MenuState{}, false, false, false, false},
        {1, MenuState{}, true, true, false, true},
        {1, EverythingOn(), true, true, false, true},
        {2, MenuState{}, true, true, true, true},
        {3, MenuState{}, true, true, true, true},
        // Stages the program never sets: nothing but Save is touched.
        {-1, EverythingOn(), true, true, true, false},
        {-1, MenuState{}, false, false, false, false},
        {4, EverythingOn(), true, true, true, false},
        {4, MenuState{}, false, false, false, false},
        {32767, MenuState{}, false, false, false, false},
    };
    d->Generator = GeneratorDU3001;
    for (const auto& [stage, before, saveAs, maskMenu, report, channelsFromGenerator] : cases) {
        SCOPED_TRACE(::testing::Message() << "stage " << stage << ", report before " << before.reportEnabled);
        d->ProjectStage = stage;
        const MenuState after = UpdateMainMenus(before, *d);
        EXPECT_EQ(std::tuple(after.saveAsEnabled, after.maskMenuEnabled, after.reportEnabled),
                  std::tuple(saveAs, maskMenu, report));
        EXPECT_EQ(std::tuple(after.maskVisible, after.pageVisible),
                  channelsFromGenerator ? std::tuple(Mask{false, true, true, false, false, false, false}, Page{})
                                        : std::tuple(before.maskVisible, before.pageVisible));
    }
}

TEST_F(MainMenusTest, GeneratorDecidesChannelItemsWhateverWasShownBefore)
{
    // (generator, masking channel items, paging channel items)
    const std::tuple<i16, Mask, Page> cases[] = {
        {GeneratorVO120R, {false, true, false, false, false, false, false}, {false, true, true}},
        {GeneratorVO120RDAR131, {false, true, false, false, false, false, false}, {false, true, true}},
        {GeneratorDU3001, {false, true, true, false, false, false, false}, {false, false, false}},
        {GeneratorDA2500, {false, true, true, false, false, false, false}, {false, true, true}},
        {GeneratorZUVAR24, {false, false, false, true, true, true, true}, {false, true, true}},
        {GeneratorRUZ1200U, {false, true, false, false, false, false, false}, {false, false, false}},
    };
    for (i16 stage : {1, 2, 3}) {
        for (const auto& [generator, mask, page] : cases) {
            for (const MenuState& before : {AllChannelsVisible(), NoChannelsVisible()}) {
                SCOPED_TRACE(::testing::Message() << "stage " << stage << ", generator " << generator);
                d->ProjectStage = stage;
                d->Generator = generator;
                const MenuState after = UpdateMainMenus(before, *d);
                EXPECT_EQ(std::tuple(after.maskVisible, after.pageVisible), std::tuple(mask, page));
            }
        }
    }
}

TEST_F(MainMenusTest, UnknownGeneratorLeavesChannelItemsAsTheyWere)
{
    MenuState mixed = NoChannelsVisible();
    mixed.maskVisible[2] = true;
    mixed.maskVisible[5] = true;
    mixed.pageVisible[1] = true;
    d->ProjectStage = 2;
    for (i16 generator : {0, -1, 7, 100}) {
        for (const MenuState& before : {AllChannelsVisible(), NoChannelsVisible(), mixed}) {
            SCOPED_TRACE(::testing::Message() << "generator " << generator);
            d->Generator = generator;
            const MenuState after = UpdateMainMenus(before, *d);
            EXPECT_EQ(std::tuple(after.maskVisible, after.pageVisible),
                      std::tuple(before.maskVisible, before.pageVisible));
            // The rest of the rules still apply.
            EXPECT_EQ(std::tuple(after.maskMenuEnabled, after.reportEnabled), std::tuple(true, true));
        }
    }
}

TEST_F(MainMenusTest, SaveNeedsAFileNameAtEveryStage)
{
    // (file name, Save)
    const std::pair<const char*, bool> cases[] = {
        {"", false},
        {"   ", false},  // blanks only count as no name
        {"\t", false},
        {"C:\\JOBS\\OFFICE.MSK", true},
        {"  /home/a/OFFICE.MSK  ", true},
    };
    for (i16 stage : {0, 1, 2, 3, -1, 4}) {
        for (const auto& [fileName, save] : cases) {
            for (bool before : {false, true}) {
                SCOPED_TRACE(::testing::Message() << "stage " << stage << ", name '" << fileName << "'");
                d->ProjectStage = stage;
                d->Generator = GeneratorDA2500;
                d->ProjectFileName = QString::fromLatin1(fileName);
                MenuState start;
                start.saveEnabled = before;
                EXPECT_EQ(UpdateMainMenus(start, *d).saveEnabled, save);
            }
        }
    }
}

}  // namespace
}  // namespace kov
