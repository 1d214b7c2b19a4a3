#pragma once

#include "altitude_page.h"
#include "memory_form.h"
#include "table_copy.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace solvara::web {

using NamedTexts = std::vector<std::pair<std::string, std::string>>;

// What the page shows after a press: the text of every box and the caption of
// every heading, or, when "Calcola" refused a box, that box and the message
// naming it (and nothing changed).
struct Shown {
    NamedTexts texts;
    NamedTexts captions;
    std::string refusedBox;
    std::string message;
};

// The window of the browser edition behind its page: the page keeps what the
// user types, this keeps the rest (cells and headings) and runs the window's
// own handlers on it.
class BrowserWindow {
public:
    // Given: a button's name ("Calcola", "Azzera", "Command2" … "Command4"),
    // and the texts the latitude and declination boxes hold now. Any other
    // name changes nothing.
    Shown press(std::string_view button, const NamedTexts &typed);

    // The printed page and the table for the clipboard, as the window shows
    // them: typed are the texts the latitude and declination boxes hold now,
    // computed or not.
    std::vector<PageText> page(const NamedTexts &typed);
    TableCopy copy(const NamedTexts &typed);

private:
    // The boxes' texts as the page holds them now.
    void take(const NamedTexts &typed);

    MemoryForm form_;
};

} // namespace solvara::web
