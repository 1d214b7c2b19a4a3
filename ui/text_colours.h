#pragma once

#include <QPalette>

#include <vector>

class QWidget;

namespace solvara::ui {

// Given: the window's palette (its theme, light or dark) and its controls,
//        one for each entry of mainFormControls() in that order.
// The result cells stay disabled, but their text is darkened (or on a dark
// theme lightened) from the theme's disabled grey until it reads well; the
// reminder about decimal commas stays red, a darker red on a light window and
// a lighter one on a dark window, as far as it takes to read as well. Run
// again whenever the theme changes.
void makeTextReadable(const QPalette &theme, const std::vector<QWidget *> &controls);

} // namespace solvara::ui
