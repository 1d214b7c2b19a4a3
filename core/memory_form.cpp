#include "memory_form.h"

#include "grid.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace solvara {

namespace {

// Where a result cell's text is kept in the table of cells: column by column,
// top row first.
std::size_t cellIndex(int column, int row) { return std::size_t((column - 1) * kRows + row - 1); }

// Written in place: a cell's text is nearly always as long as the last.
void overwrite(std::string &current, std::string_view text)
{
    current.resize(text.size());
    std::char_traits<char>::copy(current.data(), text.data(), text.size());
}

} // namespace

MemoryForm::MemoryForm()
{
    texts_.add(kLatitudeBox, kOpeningLatitude);
    captions_.add(kCornerLabel, "");
    for (int column = 1; column <= kColumns; ++column) {
        texts_.add(declinationBox(column), "0");
        captions_.add(headingLabel(column), "");
        for (int row = 1; row <= kRows; ++row)
            texts_.add(cellName(column, row), "0");
    }
    // Found once all are added, as adding moves the texts.
    for (int column = 1; column <= kColumns; ++column)
        for (int row = 1; row <= kRows; ++row)
            cells_[cellIndex(column, row)] = texts_.find(cellName(column, row));
}

std::uint64_t MemoryForm::Texts::keyOf(std::string_view name)
{
    // Every control's name has at most 8 bytes: packed whole, they are the
    // key itself; a longer name (never one of this window's) is folded in.
    std::uint64_t key = name.size();
    for (std::size_t i = 0; i < name.size(); ++i)
        key ^= std::uint64_t(static_cast<unsigned char>(name[i])) << (8 * (i % 8));
    return key;
}

std::size_t MemoryForm::Texts::slotOf(std::string_view name, std::uint64_t key) const
{
    // Fibonacci hashing: the top bits of the product spread neighbouring
    // names such as x21, x22 ... over the whole table.
    const std::size_t mask = slots_.size() - 1;
    auto slot = std::size_t((key * 0x9e3779b97f4a7c15ull) >> shift_);
    while (!slots_[slot].name.empty() && (slots_[slot].key != key || slots_[slot].name != name))
        slot = (slot + 1) & mask;
    return slot;
}

void MemoryForm::Texts::add(std::string_view name, std::string_view text)
{
    if (2 * (used_ + 1) > slots_.size()) {
        std::vector<Slot> old(slots_.empty() ? 16 : 2 * slots_.size());
        std::swap(old, slots_);
        shift_ = 64;
        for (std::size_t size = slots_.size(); size > 1; size /= 2)
            --shift_;
        used_ = 0;
        for (Slot &slot : old)
            if (!slot.name.empty())
                add(slot.name, slot.text);
    }
    const std::uint64_t key = keyOf(name);
    Slot &slot = slots_[slotOf(name, key)];
    if (slot.name.empty()) {
        slot.name = name;
        slot.key = key;
        ++used_;
    }
    slot.text = text;
}

const std::string *MemoryForm::Texts::find(std::string_view name) const
{
    if (slots_.empty())
        return nullptr;
    const Slot &slot = slots_[slotOf(name, keyOf(name))];
    return slot.name.empty() ? nullptr : &slot.text;
}

std::string *MemoryForm::Texts::find(std::string_view name)
{
    return const_cast<std::string *>(std::as_const(*this).find(name));
}

std::string MemoryForm::text(std::string_view box) const
{
    const std::string *text = texts_.find(box);
    if (!text)
        throw std::out_of_range("no text box named " + std::string(box));
    return *text;
}

void MemoryForm::setText(std::string_view box, std::string_view text)
{
    std::string *current = texts_.find(box);
    if (!current)
        throw std::out_of_range("no text box named " + std::string(box));
    overwrite(*current, text);
}

void MemoryForm::setCell(int column, int row, std::string_view text)
{
    if (column < 1 || column > kColumns || row < 1 || row > kRows) {
        Form::setCell(column, row, text); // refuses it with the reason
        return;
    }
    overwrite(*cells_[cellIndex(column, row)], text);
}

void MemoryForm::setCaption(std::string_view label, std::string_view caption)
{
    std::string *current = captions_.find(label);
    if (!current)
        throw std::out_of_range("no heading label named " + std::string(label));
    current->assign(caption);
}

std::string MemoryForm::caption(std::string_view label) const
{
    const std::string *current = captions_.find(label);
    return current ? *current : std::string();
}

} // namespace solvara
