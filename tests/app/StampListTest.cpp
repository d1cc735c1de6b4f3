#include "app/StampListCommands.h"
#include "model/TextStamp.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace veltrane {
namespace {

// A list of `count` stamps labelled "0", "1", ... so that the order can be read back.
StampList labelled(int count)
{
    StampList stamps;
    for (int i = 0; i < count; ++i) {
        auto stamp = std::make_unique<TextStamp>();
        stamp->setLabel(QString::number(i));
        stamps.push_back(std::move(stamp));
    }
    return stamps;
}

QString order(const StampList& stamps)
{
    QString out;
    for (const auto& stamp : stamps) {
        out += stamp->label();
    }
    return out;
}

enum class Command { Remove, Up, Down };

struct ListCase
{
    const char* name;
    int count;
    Command command;
    QList<int> selected;
    const char* order;
    QList<int> selection;
};

class StampListRules : public ::testing::TestWithParam<ListCase>
{};

TEST_P(StampListRules, MovesTheStampsAndTheSelection)
{
    const ListCase& c = GetParam();
    StampList stamps = labelled(c.count);
    QList<int> selection;
    switch (c.command) {
    case Command::Remove:
        selection = removeStampRows(stamps, c.selected);
        break;
    case Command::Up:
        selection = moveStampRowsUp(stamps, c.selected);
        break;
    case Command::Down:
        selection = moveStampRowsDown(stamps, c.selected);
        break;
    }
    EXPECT_EQ(order(stamps), QString::fromUtf8(c.order));
    EXPECT_EQ(selection, c.selection);
}

INSTANTIATE_TEST_SUITE_P(
    StampList, StampListRules,
    ::testing::Values(ListCase{"RemoveTheOnlyStamp", 1, Command::Remove, {0}, "", {0}},
                      ListCase{"RemoveRow3Of5SelectsRow2", 5, Command::Remove, {3}, "0124", {2}},
                      ListCase{"RemoveRow0SelectsRow0", 5, Command::Remove, {0}, "1234", {0}},
                      ListCase{"RemoveNothingSelected", 3, Command::Remove, {}, "012", {}},
                      ListCase{"RemoveTwoRows", 5, Command::Remove, {1, 3}, "024", {2}},
                      ListCase{"UpRows1And2", 4, Command::Up, {1, 2}, "1203", {0, 1}},
                      ListCase{"UpRows0And2MovesNothing", 4, Command::Up, {0, 2}, "0123", {}},
                      ListCase{"DownTheLastTwoMovesNothing", 5, Command::Down, {3, 4}, "01234", {}},
                      ListCase{
                          "DownRows2And4Of5MovesNothing", 5, Command::Down, {2, 4}, "01234", {}},
                      ListCase{"DownRows0And1", 4, Command::Down, {0, 1}, "2013", {1, 2}},
                      ListCase{"RowsOutOfRangeIgnored", 3, Command::Up, {7, 1}, "102", {0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StampListButtons, FollowTheSelection)
{
    const struct
    {
        qsizetype count;
        QList<int> rows;
        bool up, down, remove;
    } cases[] = {{0, {}, false, false, false},
                 {3, {}, false, false, true},
                 {3, {0}, false, true, true},
                 {3, {2}, true, false, true},
                 {3, {1, 2}, true, false, true}};
    for (const auto& c : cases) {
        const StampButtonsState state = stampButtonsState(c.count, c.rows);
        const auto row = &c - cases;
        EXPECT_EQ(state.moveUp, c.up) << "case " << row;
        EXPECT_EQ(state.moveDown, c.down) << "case " << row;
        EXPECT_EQ(state.remove, c.remove) << "case " << row;
    }
}

TEST(StampListRemoveOne, TakesTheSelectionOnlyWhenItHoldsTheStamp)
{
    StampList stamps = labelled(4);
    const IStampItem* third = stamps[2].get();
    EXPECT_EQ(removeOneStamp(stamps, {2, 3}, third), QList<int>{2});
    EXPECT_EQ(order(stamps), u"01"_s);
    stamps = labelled(4);
    EXPECT_EQ(removeOneStamp(stamps, {0}, stamps[3].get()), QList<int>{0});
    EXPECT_EQ(order(stamps), u"012"_s);
}

} // namespace
} // namespace veltrane
