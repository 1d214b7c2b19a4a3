#pragma once

#include "form.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace solvara {

// A window without any toolkit: control name -> text. It opens with the
// texts the real window opens with, so the logic can run and be measured
// without a display.
class MemoryForm final : public Form {
public:
    MemoryForm();

    std::string text(std::string_view box) const override;
    void setText(std::string_view box, std::string_view text) override;
    void setCaption(std::string_view label, std::string_view caption) override;

    // A label's caption; empty for a label never captioned.
    std::string caption(std::string_view label) const;

private:
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const
        {
            return std::hash<std::string_view>{}(name);
        }
    };
    using Texts = std::unordered_map<std::string, std::string, NameHash, std::equal_to<>>;

    Texts texts_;
    Texts captions_;
};

} // namespace solvara
