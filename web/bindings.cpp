// What the page's script reaches of the C++: the window's control table, its
// caption and tab order, the presses of its buttons, the printed page and the
// table for the clipboard. Only plain JavaScript values cross.
#include "browser_window.h"
#include "grid.h"
#include "input_message.h"
#include "layout.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

namespace {

using emscripten::val;
using solvara::ui::ControlKind;
using solvara::ui::FontRole;

solvara::web::BrowserWindow &window()
{
    static solvara::web::BrowserWindow shown;
    return shown;
}

const char *kindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label: return "label";
    case ControlKind::TextBox: return "box";
    case ControlKind::Button: return "button";
    }
    return "label";
}

const char *fontName(FontRole font)
{
    switch (font) {
    case FontRole::Window: return "window";
    case FontRole::ArialBold: return "sans-bold";
    case FontRole::TitleBold: return "title";
    case FontRole::TimesBold: return "serif-bold";
    case FontRole::SymbolBold: return "symbol";
    }
    return "window";
}

val pairs(const solvara::web::NamedTexts &texts)
{
    val list = val::array();
    for (const auto &[name, text] : texts)
        list.call<void>("push", val::array(std::vector<val>{val(name), val(text)}));
    return list;
}

// Every control: name, kind, text, place in twips, face, whether it takes
// input, whether it is the red reminder, and what a screen reader says.
val controls()
{
    val list = val::array();
    for (const auto &c : solvara::ui::mainFormControls()) {
        val control = val::object();
        control.set("name", c.name);
        control.set("kind", kindName(c.kind));
        control.set("text", c.text);
        control.set("left", c.place.left);
        control.set("top", c.place.top);
        control.set("width", c.place.width);
        control.set("height", c.place.height);
        control.set("font", fontName(c.font));
        control.set("enabled", c.enabled);
        control.set("red", c.red);
        control.set("spoken", c.accessibleName);
        list.call<void>("push", control);
    }
    return list;
}

val tabOrder()
{
    val list = val::array();
    for (const auto &name : solvara::ui::tabOrder())
        list.call<void>("push", name);
    return list;
}

// The altitude table's controls by their places in it: the corner and the
// declinations' captions, each hour row's label, and for each column its
// heading, declination box and eight cells, top to bottom.
val grid()
{
    using namespace solvara;
    val table = val::object();
    table.set("corner", kCornerLabel);
    table.set("declinations", kDeclinationLabel);
    val hours = val::array();
    for (int row = 1; row <= kRows; ++row)
        hours.call<void>("push", hourLabel(row));
    table.set("hours", hours);
    val columns = val::array();
    for (int column = 1; column <= kColumns; ++column) {
        val cells = val::array();
        for (int row = 1; row <= kRows; ++row)
            cells.call<void>("push", cellName(column, row));
        val entry = val::object();
        entry.set("heading", headingLabel(column));
        entry.set("box", declinationBox(column));
        entry.set("cells", cells);
        columns.call<void>("push", entry);
    }
    table.set("columns", columns);
    return table;
}

val formGeometry()
{
    val form = val::object();
    form.set("caption", solvara::ui::kWindowCaption);
    form.set("width", solvara::ui::kClientWidthTwips);
    form.set("height", solvara::ui::kClientHeightTwips);
    form.set("twipsPerPixel", solvara::ui::kTwipsPerPixel);
    return form;
}

// typed: [[box, text], …] for the latitude and the declinations, as the
// boxes hold them now.
solvara::web::NamedTexts namedTexts(const val &typed)
{
    solvara::web::NamedTexts texts;
    const auto length = typed["length"].as<unsigned>();
    for (unsigned i = 0; i < length; ++i)
        texts.emplace_back(typed[i][0].as<std::string>(), typed[i][1].as<std::string>());
    return texts;
}

val press(const std::string &button, const val &typed)
{
    const auto shown = window().press(button, namedTexts(typed));
    val result = val::object();
    result.set("texts", pairs(shown.texts));
    result.set("captions", pairs(shown.captions));
    result.set("refusedBox", shown.refusedBox);
    result.set("message", shown.message);
    return result;
}

// The page's texts with their places in millimetres, and their size.
val page(const val &typed)
{
    val page = val::object();
    val texts = val::array();
    for (const auto &t : window().page(namedTexts(typed))) {
        val text = val::object();
        text.set("text", t.text);
        text.set("x", t.xMm);
        text.set("y", t.yMm);
        texts.call<void>("push", text);
    }
    page.set("texts", texts);
    page.set("points", solvara::kPageFontPoints);
    return page;
}

val copyTable(const val &typed)
{
    const auto copy = window().copy(namedTexts(typed));
    val result = val::object();
    result.set("text", copy.text);
    result.set("html", copy.html);
    return result;
}

val hintFor(int column, const std::string &text) { return val(solvara::readingHint(column, text)); }

} // namespace

EMSCRIPTEN_BINDINGS(solvara)
{
    emscripten::function("controls", &controls);
    emscripten::function("tabOrder", &tabOrder);
    emscripten::function("grid", &grid);
    emscripten::function("form", &formGeometry);
    emscripten::function("press", &press);
    emscripten::function("page", &page);
    emscripten::function("copyTable", &copyTable);
    emscripten::function("readingHint", &hintFor);
}
