#include "table_copy.h"

#include <algorithm>
#include <vector>

namespace solvara {

namespace {

// The two hours of a row, as the window's hour captions name them.
std::string hours(int row)
{
    const auto hour = [](int h) { return (h < 10 ? "0" : "") + std::to_string(h) + ".00"; };
    const int fromNoon = kNoonRow - row;
    return fromNoon == 0 ? hour(12) : hour(12 - fromNoon) + "-" + hour(12 + fromNoon);
}

// A text inside an HTML cell: the characters markup reserves escaped.
std::string escaped(const std::string &text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

TableCopy copyTable(const Form &form, const std::array<std::string, kColumns + 1> &headings)
{
    std::vector<std::vector<std::string>> lines;
    if (std::any_of(headings.begin(), headings.end(), [](const auto &h) { return !h.empty(); }))
        lines.emplace_back(headings.begin(), headings.end());
    std::vector<std::string> line = {"δ°"};
    for (int column = 1; column <= kColumns; ++column)
        line.push_back(form.text(declinationBox(column)));
    lines.push_back(line);
    for (int row = 1; row <= kRows; ++row) {
        line = {hours(row)};
        for (int column = 1; column <= kColumns; ++column)
            line.push_back(form.text(cellName(column, row)));
        lines.push_back(line);
    }

    // A text that holds a tab or a line end (a declination pasted with its
    // line end) would break the grid: such characters become blanks.
    TableCopy copy{{}, "<meta charset=\"utf-8\"><table>\n"};
    for (const auto &cells : lines) {
        copy.html += "<tr>";
        for (std::size_t i = 0; i < cells.size(); ++i) {
            std::string cell = cells[i];
            std::replace_if(
                cell.begin(), cell.end(),
                [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
            copy.text += (i ? "\t" : "") + cell;
            copy.html += "<td>" + escaped(cell) + "</td>";
        }
        copy.text += '\n';
        copy.html += "</tr>\n";
    }
    copy.html += "</table>\n";
    return copy;
}

} // namespace solvara
