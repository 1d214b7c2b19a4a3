#pragma once

#include <string>
#include <string_view>

namespace solvara {

// What the sundial logic needs of the window: the texts of its boxes and the
// captions of its labels, addressed by control name. The Qt window and the
// in-memory model used by the tests both stand behind it. Setting a text or a
// caption never runs any handler.
class Form {
public:
    virtual ~Form() = default;

    // The text of a text box (latitude, declination or result cell).
    virtual std::string text(std::string_view box) const = 0;
    virtual void setText(std::string_view box, std::string_view text) = 0;
    // A result cell's text, the cell given by its place (column 1..14, row
    // 1..8) rather than its name; the same as setText with cellName's name,
    // which is what it does unless a form finds its cells faster by place.
    virtual void setCell(int column, int row, std::string_view text);
    // The caption of a heading label.
    virtual void setCaption(std::string_view label, std::string_view caption) = 0;
};

} // namespace solvara
