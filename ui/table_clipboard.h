#pragma once

#include "table_copy.h"

namespace solvara::ui {

// Puts the table on the clipboard as tab-separated text and as HTML, so that
// a spreadsheet takes it as a grid and a word processor as a table.
void putOnClipboard(const TableCopy &table);

} // namespace solvara::ui
