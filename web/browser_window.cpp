#include "browser_window.h"

#include "altitude.h"
#include "form_reset.h"
#include "grid.h"
#include "input_message.h"
#include "layout.h"
#include "presets.h"

#include <array>

namespace solvara::web {

namespace {

std::array<std::string, kColumns + 1> headingNames()
{
    std::array<std::string, kColumns + 1> names{kCornerLabel};
    for (int column = 1; column <= kColumns; ++column)
        names[std::size_t(column)] = headingLabel(column);
    return names;
}

} // namespace

void BrowserWindow::take(const NamedTexts &typed)
{
    for (const auto &[box, text] : typed)
        form_.setText(box, text);
}

Shown BrowserWindow::press(std::string_view button, const NamedTexts &typed)
{
    take(typed);

    Shown shown;
    if (button == "Calcola") {
        if (const auto error = computeTable(form_)) {
            shown.refusedBox = error->box;
            shown.message = inputMessage(*error);
            return shown;
        }
    } else if (button == "Azzera") {
        resetForm(form_);
    } else if (button == "Command2") {
        applyPreset(kFifteenDaySteps, form_);
    } else if (button == "Command3") {
        applyPreset(kFiveDegreeSteps, form_);
    } else if (button == "Command4") {
        applyPreset(kFourDegreeSteps, form_);
    }

    for (const ui::ControlSpec &control : ui::mainFormControls())
        if (control.kind == ui::ControlKind::TextBox)
            shown.texts.emplace_back(control.name, form_.text(control.name));
    for (const std::string &label : headingNames())
        shown.captions.emplace_back(label, form_.caption(label));
    return shown;
}

std::vector<PageText> BrowserWindow::page(const NamedTexts &typed)
{
    take(typed);
    return altitudePage(form_);
}

TableCopy BrowserWindow::copy(const NamedTexts &typed)
{
    take(typed);
    std::array<std::string, kColumns + 1> headings;
    const auto names = headingNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        headings[i] = form_.caption(names[i]);
    return copyTable(form_, headings);
}

} // namespace solvara::web
