#include <gtest/gtest.h>

#include <memory>

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

struct StageCase {
    i16 stage;
    MenuState before;
    bool saveAs;
    bool maskMenu;
    bool report;
    bool channelsFromGenerator;  // else the channel items stay as they were
};

TEST_F(MainMenusTest, StageDecidesSaveAsEqualizeAndReport)
{
    const StageCase cases[] = {
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
    for (const StageCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "stage " << c.stage << ", report before " << c.before.reportEnabled);
        d->ProjectStage = c.stage;
        const MenuState after = UpdateMainMenus(c.before, *d);
        EXPECT_EQ(after.saveAsEnabled, c.saveAs);
        EXPECT_EQ(after.maskMenuEnabled, c.maskMenu);
        EXPECT_EQ(after.reportEnabled, c.report);
        if (c.channelsFromGenerator) {
            EXPECT_EQ(after.maskVisible, (Mask{false, true, true, false, false, false, false}));
            EXPECT_EQ(after.pageVisible, (Page{false, false, false}));
        } else {
            EXPECT_EQ(after.maskVisible, c.before.maskVisible);
            EXPECT_EQ(after.pageVisible, c.before.pageVisible);
        }
    }
}

struct GeneratorCase {
    i16 generator;
    Mask mask;
    Page page;
};

TEST_F(MainMenusTest, GeneratorDecidesChannelItemsWhateverWasShownBefore)
{
    const GeneratorCase cases[] = {
        {GeneratorVO120R, {false, true, false, false, false, false, false}, {false, true, true}},
        {GeneratorVO120RDAR131, {false, true, false, false, false, false, false}, {false, true, true}},
        {GeneratorDU3001, {false, true, true, false, false, false, false}, {false, false, false}},
        {GeneratorDA2500, {false, true, true, false, false, false, false}, {false, true, true}},
        {GeneratorZUVAR24, {false, false, false, true, true, true, true}, {false, true, true}},
        {GeneratorRUZ1200U, {false, true, false, false, false, false, false}, {false, false, false}},
    };
    for (i16 stage : {1, 2, 3}) {
        for (const GeneratorCase& c : cases) {
            for (const MenuState& before : {AllChannelsVisible(), NoChannelsVisible()}) {
                SCOPED_TRACE(::testing::Message() << "stage " << stage << ", generator " << c.generator);
                d->ProjectStage = stage;
                d->Generator = c.generator;
                const MenuState after = UpdateMainMenus(before, *d);
                EXPECT_EQ(after.maskVisible, c.mask);
                EXPECT_EQ(after.pageVisible, c.page);
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
            EXPECT_EQ(after.maskVisible, before.maskVisible);
            EXPECT_EQ(after.pageVisible, before.pageVisible);
            // The rest of the rules still apply.
            EXPECT_TRUE(after.maskMenuEnabled);
            EXPECT_TRUE(after.reportEnabled);
        }
    }
}

struct SaveCase {
    const char* fileName;
    bool save;
};

TEST_F(MainMenusTest, SaveNeedsAFileNameAtEveryStage)
{
    const SaveCase cases[] = {
        {"", false},
        {"   ", false},  // blanks only count as no name
        {"\t", false},
        {"C:\\JOBS\\OFFICE.MSK", true},
        {"  /home/a/OFFICE.MSK  ", true},
    };
    for (i16 stage : {0, 1, 2, 3, -1, 4}) {
        for (const SaveCase& c : cases) {
            for (bool before : {false, true}) {
                SCOPED_TRACE(::testing::Message() << "stage " << stage << ", name '" << c.fileName << "'");
                d->ProjectStage = stage;
                d->Generator = GeneratorDA2500;
                d->ProjectFileName = QString::fromLatin1(c.fileName);
                MenuState start;
                start.saveEnabled = before;
                EXPECT_EQ(UpdateMainMenus(start, *d).saveEnabled, c.save);
            }
        }
    }
}

}  // namespace
}  // namespace kov
