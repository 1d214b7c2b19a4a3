#include "page_request.h"

#include "grid.h"

#include <charconv>
#include <set>
#include <vector>

namespace solvara {

namespace {

std::vector<std::string> pageBoxes()
{
    std::vector<std::string> boxes = {kLatitudeBox};
    for (int column = 1; column <= kColumns; ++column) {
        boxes.push_back(declinationBox(column));
        for (int row = 1; row <= kRows; ++row)
            boxes.push_back(cellName(column, row));
    }
    return boxes;
}

} // namespace

std::string pageRequest(const Form &form)
{
    std::string request;
    for (const std::string &box : pageBoxes()) {
        const std::string text = form.text(box);
        request += box + ' ' + std::to_string(text.size()) + '\n' + text + '\n';
    }
    return request;
}

bool readPageRequest(std::string_view request, Form &form)
{
    const std::vector<std::string> names = pageBoxes();
    std::set<std::string_view> missing(names.begin(), names.end());
    while (!request.empty()) {
        const auto blank = request.find(' ');
        const auto feed = request.find('\n');
        if (blank == std::string_view::npos || feed == std::string_view::npos || feed < blank)
            return false;
        const std::string_view box = request.substr(0, blank);
        std::size_t length = 0;
        const char *digits = request.data() + blank + 1;
        const auto [end, error] = std::from_chars(digits, request.data() + feed, length);
        if (error != std::errc() || end != request.data() + feed || missing.erase(box) != 1)
            return false;
        request.remove_prefix(feed + 1);
        if (request.size() < length + 1 || request[length] != '\n')
            return false;
        form.setText(box, request.substr(0, length));
        request.remove_prefix(length + 1);
    }
    return missing.empty();
}

} // namespace solvara
