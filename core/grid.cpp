#include "grid.h"

#include <stdexcept>

namespace solvara {

namespace {

void checkColumn(int column)
{
    if (column < 1 || column > kColumns)
        throw std::out_of_range("declination column " + std::to_string(column));
}

} // namespace

std::string declinationBox(int column)
{
    checkColumn(column);
    if (column == 1)
        return "dcl1a";
    if (column <= 9)
        return "dcl" + std::to_string(column) + "01a";
    return "dc" + std::to_string(column - 9) + "a";
}

std::string headingLabel(int column)
{
    checkColumn(column);
    return "Label" + std::to_string(100 + column);
}

std::string cellName(int column, int row)
{
    checkColumn(column);
    if (row < 1 || row > kRows)
        throw std::out_of_range("hour row " + std::to_string(row));
    const char prefix = column <= 9 ? 'x' : 's';
    const int inner = column <= 9 ? column : column - 9;
    std::string name(1, prefix);
    if (inner > 1)
        name += std::to_string(inner);
    return name + std::to_string(row);
}

} // namespace solvara
