#include "grid.h"

#include <array>
#include <stdexcept>

namespace solvara {

namespace {

void checkColumn(int column)
{
    if (column < 1 || column > kColumns)
        throw std::out_of_range("declination column " + std::to_string(column));
}

void checkRow(int row)
{
    if (row < 1 || row > kRows)
        throw std::out_of_range("hour row " + std::to_string(row));
}

// The names are made once: every press reads or writes 127 boxes by name.
struct Names {
    std::array<std::string, kColumns> declinations;
    std::array<std::string, kColumns> headings;
    std::array<std::array<std::string, kRows>, kColumns> cells;

    Names()
    {
        for (int column = 1; column <= kColumns; ++column) {
            std::string &box = declinations[column - 1];
            if (column == 1)
                box = "dcl1a";
            else if (column <= 9)
                box = "dcl" + std::to_string(column) + "01a";
            else
                box = "dc" + std::to_string(column - 9) + "a";

            headings[column - 1] = "Label" + std::to_string(100 + column);

            const char prefix = column <= 9 ? 'x' : 's';
            const int inner = column <= 9 ? column : column - 9;
            for (int row = 1; row <= kRows; ++row) {
                std::string name(1, prefix);
                if (inner > 1)
                    name += std::to_string(inner);
                cells[column - 1][row - 1] = name + std::to_string(row);
            }
        }
    }
};

const Names &names()
{
    static const Names all;
    return all;
}

} // namespace

const std::string &declinationBox(int column)
{
    checkColumn(column);
    return names().declinations[column - 1];
}

const std::string &headingLabel(int column)
{
    checkColumn(column);
    return names().headings[column - 1];
}

const std::string &hourLabel(int row)
{
    static const std::array<std::string, kRows> labels = {
        "Label7", "Label16", "Label17", "Label19", "Label21", "Label24", "Label26", "Label28",
    };
    checkRow(row);
    return labels[row - 1];
}

const std::string &cellName(int column, int row)
{
    checkColumn(column);
    checkRow(row);
    return names().cells[column - 1][row - 1];
}

} // namespace solvara
