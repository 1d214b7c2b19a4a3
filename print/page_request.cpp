#include "page_request.h"

#include "grid.h"
#include "print_limits.h"

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

// A length as the window writes it: decimal digits, no sign, no blank and no
// leading zero, so that every length has one spelling; nullopt otherwise.
std::optional<std::size_t> decimal(std::string_view digits)
{
    std::size_t value = 0;
    const char *const first = digits.data(); // a range: no terminator needed
    const char *const end = first + digits.size();
    const auto [last, error] = std::from_chars(first, end, value);
    if (error != std::errc() || last != end || (digits.size() > 1 && digits.front() == '0'))
        return std::nullopt;
    return value;
}

} // namespace

std::string pageRequest(const Form &form)
{
    std::string request;
    for (const std::string &box : pageBoxes()) {
        const std::string text = form.text(box);
        request.append(box).append(1, ' ').append(std::to_string(text.size()));
        request.append(1, '\n').append(text).append(1, '\n');
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
        const std::optional<std::size_t> read =
            decimal(request.substr(blank + 1, feed - blank - 1));
        if (!read || missing.erase(box) != 1)
            return false;
        const std::size_t length = *read;
        request.remove_prefix(feed + 1);
        if (request.size() <= length || request[length] != '\n') // length + 1 may wrap
            return false;
        form.setText(box, request.substr(0, length));
        request.remove_prefix(length + 1);
    }
    return missing.empty();
}

std::string framedRequest(std::string_view request)
{
    return std::to_string(request.size()) + '\n' + std::string(request);
}

std::optional<std::size_t> requestLength(std::string_view line)
{
    const std::optional<std::size_t> length = decimal(line);
    return length && *length <= kRequestLimit ? length : std::nullopt;
}

std::string reasonLine(std::string_view reason)
{
    std::string line = "reason ";
    for (const char byte : reason)
        line += static_cast<unsigned char>(byte) < 0x20 || byte == '\x7f' ? ' ' : byte;
    if (line.size() > kHelperLineLimit) {
        const std::string_view cut = "…";
        std::size_t end = kHelperLineLimit - cut.size();
        while ((static_cast<unsigned char>(line[end]) & 0xc0) == 0x80) // inside a character
            --end;
        line.resize(end);
        line += cut;
    }
    return line;
}

} // namespace solvara
