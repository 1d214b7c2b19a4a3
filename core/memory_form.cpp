#include "memory_form.h"

#include "grid.h"

#include <stdexcept>

namespace solvara {

MemoryForm::MemoryForm()
{
    texts_.emplace(kLatitudeBox, kOpeningLatitude);
    captions_.emplace(kCornerLabel, "");
    for (int column = 1; column <= kColumns; ++column) {
        texts_.emplace(declinationBox(column), "0");
        captions_.emplace(headingLabel(column), "");
        for (int row = 1; row <= kRows; ++row)
            texts_.emplace(cellName(column, row), "0");
    }
}

std::string MemoryForm::text(std::string_view box) const
{
    const auto it = texts_.find(box);
    if (it == texts_.end())
        throw std::out_of_range("no text box named " + std::string(box));
    return it->second;
}

void MemoryForm::setText(std::string_view box, std::string_view text)
{
    const auto it = texts_.find(box);
    if (it == texts_.end())
        throw std::out_of_range("no text box named " + std::string(box));
    it->second = text;
}

void MemoryForm::setCaption(std::string_view label, std::string_view caption)
{
    const auto it = captions_.find(label);
    if (it == captions_.end())
        throw std::out_of_range("no heading label named " + std::string(label));
    it->second = caption;
}

std::string MemoryForm::caption(std::string_view label) const
{
    const auto it = captions_.find(label);
    return it == captions_.end() ? std::string() : it->second;
}

} // namespace solvara
