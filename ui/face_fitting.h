#pragma once

#include "layout.h"

#include <QFont>
#include <QString>

#include <vector>

class QWidget;

// The faces the window draws with, each at the largest size at which every
// text it may show stands whole inside its control.
namespace solvara::ui {

// The window's own face at its design size, before it is fitted.
inline constexpr double kLargestWindowPoints = 8;

// The face a control of this role draws with, at its design size; windowFont
// is the window's own.
QFont fontFor(FontRole role, const QFont &windowFont);

// Whether text stands whole inside control (a label, a box or a button)
// drawn in face.
bool standsWhole(const QWidget &control, const QString &text, const QFont &face);

// Given: the window and its controls, one for each entry of mainFormControls()
//        in that order, each at its place with its alignment and its role's
//        face.
// Sets each face, the window's own and those of the title, headings, footer
// and latitude box, on its own: the largest size in quarter points, from its
// design size down to half of it, at which every text a control of that face
// may show (its opening text, what the presets write and the table computes
// from them) stands whole inside the control, whatever the font resolution.
void fitFonts(QWidget &window, const std::vector<QWidget *> &controls);

} // namespace solvara::ui
