#include "form.h"

#include "grid.h"

namespace solvara {

void Form::setCell(int column, int row, std::string_view text)
{
    setText(cellName(column, row), text);
}

} // namespace solvara
