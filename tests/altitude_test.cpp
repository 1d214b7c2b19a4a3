#include "altitude.h"
#include "memory_form.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using solvara::cellName;
using solvara::computeTable;
using solvara::declinationBox;
using solvara::InputError;
using solvara::kColumns;
using solvara::kRows;
using solvara::MemoryForm;

using Column = std::array<std::string, kRows>;
const char *const M = "------";

// One latitude and one declination, and the eight texts of their column,
// 05.00/19.00 first, 12.00 last.
struct ColumnCase {
    const char *name;
    const char *latitude;
    const char *declination;
    Column cells;
};

void PrintTo(const ColumnCase &c, std::ostream *os) { *os << c.name; }


const ColumnCase kColumnCases[] = {
    {"SummerAtOpeningLatitude", "38,1217", "23,45",
     {"3,37", "14,22", "25,62", "37,34", "49,11", "60,54", "70,53", "75,33"}},
    {"EquinoxAtOpeningLatitude", "38,1217", "0",
     {M, "0,00", "11,75", "23,16", "33,80", "42,95", "49,45", "51,88"}},
    {"WinterAtOpeningLatitude", "38,1217", "-23,45",
     {M, M, M, "6,61", "15,35", "22,29", "26,84", "28,43"}},
    {"EquatorAtEquinox", "0", "0",
     {M, "0,00", "15,00", "30,00", "45,00", "60,00", "75,00", "90,00"}},
    {"SunOverheadAtNoon", "38,1217", "38,1217",
     {"12,76", "22,40", "32,77", "43,67", "54,96", "66,50", "78,21", "90,00"}},
    {"NoonNorthOfZenith", "10", "23,4567",
     {M, "3,96", "17,63", "31,39", "45,07", "58,38", "70,35", "76,5433"}},
    {"PolarNight", "85", "-23,45", {M, M, M, M, M, M, M, M}},
    {"NoonBeyond180", "-80", "23,45", {M, M, M, M, M, M, M, "-13,45"}},
    {"PointTypedForComma", "38.1217", "23.45",
     {"3,37", "14,22", "25,62", "37,34", "49,11", "60,54", "70,53", "75,33"}},
    // S reaches +-1: the root's argument is zero or below, never nan.
    {"SunAtTheNorthPole", "90", "90",
     {"90,00", "90,00", "90,00", "90,00", "90,00", "90,00", "90,00", "90,00"}},
    {"SunAtTheOtherPole", "-90", "90", {M, M, M, M, M, M, M, "-90"}},
};

class ColumnTable : public testing::TestWithParam<ColumnCase> {};

// The same pair of texts gives the same eight cells in whichever column the
// declination stands.
TEST_P(ColumnTable, EveryColumnShowsTheseCells)
{
    const ColumnCase &c = GetParam();
    MemoryForm form;
    form.setText("Lat", c.latitude);
    for (int column = 1; column <= kColumns; ++column)
        form.setText(declinationBox(column), c.declination);

    ASSERT_FALSE(computeTable(form).has_value());
    for (int column = 1; column <= kColumns; ++column)
        for (int row = 1; row <= kRows; ++row)
            EXPECT_EQ(form.text(cellName(column, row)), c.cells[row - 1])
                << "column " << column << ", row " << row;
}

INSTANTIATE_TEST_SUITE_P(Altitudes, ColumnTable, testing::ValuesIn(kColumnCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ComputeTable, OpeningWindowFillsEveryColumnAlike)
{
    MemoryForm form;
    ASSERT_FALSE(computeTable(form).has_value());
    const Column equinox = kColumnCases[1].cells;
    for (int column = 1; column <= kColumns; ++column)
        for (int row = 1; row <= kRows; ++row)
            EXPECT_EQ(form.text(cellName(column, row)), equinox[row - 1]);
}

TEST(ComputeTable, MixedColumnsKeepTheirOwnDeclination)
{
    MemoryForm form;
    form.setText("dcl1a", "23,45");
    form.setText("dcl701a", "-23,45");
    form.setText("dc5a", "23,45");
    ASSERT_FALSE(computeTable(form).has_value());
    EXPECT_EQ(form.text("x8"), "75,33");
    EXPECT_EQ(form.text("x74"), "6,61");
    EXPECT_EQ(form.text("x71"), M);
    EXPECT_EQ(form.text("x68"), "51,88");
    EXPECT_EQ(form.text("s51"), "3,37");
}

struct BadInput {
    const char *name;
    const char *box;
    const char *text;
    int column;
    InputError::Kind kind;
};

void PrintTo(const BadInput &c, std::ostream *os) { *os << c.name; }


const BadInput kBadInputs[] = {
    {"EmptyLatitude", "Lat", "", 0, InputError::Kind::NotANumber},
    {"LettersInLatitude", "Lat", "nord", 0, InputError::Kind::NotANumber},
    {"LoneSignInColumn1", "dcl1a", "-", 1, InputError::Kind::NotANumber},
    {"TwoSeparatorsInColumn5", "dcl501a", "1,2,3", 5, InputError::Kind::NotANumber},
    {"ExponentInColumn10", "dc1a", "1e2", 10, InputError::Kind::NotANumber},
    {"HugeDeclinationInColumn14", "dc5a", "99999999999999999999", 14,
     InputError::Kind::TooLarge},
    {"HugeLatitude", "Lat", "-2000000000000000", 0, InputError::Kind::TooLarge},
};

class RefusedInput : public testing::TestWithParam<BadInput> {};

TEST_P(RefusedInput, NamesTheBoxAndLeavesEveryCell)
{
    const BadInput &bad = GetParam();
    MemoryForm form;
    form.setText("dcl1a", "23,45");
    ASSERT_FALSE(computeTable(form).has_value());
    std::vector<std::string> before;
    for (int column = 1; column <= kColumns; ++column)
        for (int row = 1; row <= kRows; ++row)
            before.push_back(form.text(cellName(column, row)));

    form.setText("Lat", "45");
    form.setText(bad.box, bad.text);
    const auto error = computeTable(form);

    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->box, bad.box);
    EXPECT_EQ(error->column, bad.column);
    EXPECT_EQ(error->text, bad.text);
    EXPECT_EQ(error->kind, bad.kind);
    std::size_t i = 0;
    for (int column = 1; column <= kColumns; ++column)
        for (int row = 1; row <= kRows; ++row)
            EXPECT_EQ(form.text(cellName(column, row)), before[i++]) << cellName(column, row);
}

INSTANTIATE_TEST_SUITE_P(Inputs, RefusedInput, testing::ValuesIn(kBadInputs),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ComputeTable, ReportsTheFirstRefusedBoxFromTheLeft)
{
    MemoryForm form;
    form.setText("dc3a", "x");
    form.setText("dcl301a", "y");
    const auto error = computeTable(form);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->box, "dcl301a");
}

TEST(GridNames, FollowTheColumnAndRowRule)
{
    const struct {
        int column, row;
        const char *cell, *declination;
    } rows[] = {
        {1, 1, "x1", "dcl1a"},   {1, 8, "x8", "dcl1a"},    {2, 1, "x21", "dcl201a"},
        {9, 8, "x98", "dcl901a"}, {10, 5, "s5", "dc1a"},   {11, 1, "s21", "dc2a"},
        {14, 8, "s58", "dc5a"},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(cellName(r.column, r.row), r.cell);
        EXPECT_EQ(declinationBox(r.column), r.declination);
    }
}

} // namespace
