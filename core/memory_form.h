#pragma once

#include "form.h"
#include "grid.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace solvara {

// A window without any toolkit: control name -> text. It opens with the
// texts the real window opens with, so the logic can run and be measured
// without a display.
class MemoryForm final : public Form {
public:
    MemoryForm();

    std::string text(std::string_view box) const override;
    void setText(std::string_view box, std::string_view text) override;
    void setCell(int column, int row, std::string_view text) override;
    void setCaption(std::string_view label, std::string_view caption) override;

    // A label's caption; empty for a label never captioned.
    std::string caption(std::string_view label) const;

private:
    // The texts of a fixed set of controls, named once when the form is made.
    // Open addressing in a power-of-two table kept at most half full: each of
    // the 127 look-ups of a press is one multiplication and, nearly always,
    // one comparison of keys and one of names.
    class Texts {
    public:
        void add(std::string_view name, std::string_view text);
        // The text of the control so named, or nullptr.
        const std::string *find(std::string_view name) const;
        std::string *find(std::string_view name);

    private:
        struct Slot {
            std::string name; // empty for a free slot
            std::uint64_t key = 0;
            std::string text;
        };
        static std::uint64_t keyOf(std::string_view name);
        std::size_t slotOf(std::string_view name, std::uint64_t key) const;

        std::vector<Slot> slots_;
        std::size_t used_ = 0;
        int shift_ = 64; // 64 less the bits of a slot's number
    };

    Texts texts_;
    Texts captions_;
    // The result cells' texts inside texts_, column by column, top row first.
    std::array<std::string *, std::size_t(kColumns) * kRows> cells_{};
};

} // namespace solvara
