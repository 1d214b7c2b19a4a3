#include "presets.h"

#include "number_text.h"

namespace solvara {

void clearCells(Form &form)
{
    for (int column = 1; column <= kColumns; ++column)
        for (int row = 1; row <= kRows; ++row)
            form.setText(cellName(column, row), "0");
}

void applyPreset(const DeclinationPreset &preset, Form &form)
{
    clearCells(form);
    form.setCaption(kCornerLabel, preset.cornerCaption);
    for (int column = 1; column <= kColumns; ++column)
        form.setCaption(headingLabel(column), preset.columnCaptions[column - 1]);
    for (int column = 1; column <= kColumns; ++column)
        form.setText(declinationBox(column),
                     formatHundredths(preset.declinationHundredths[column - 1]));
}

} // namespace solvara
