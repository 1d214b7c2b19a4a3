#include "form_reset.h"

#include "grid.h"
#include "presets.h"

namespace solvara {

void resetForm(Form &form)
{
    form.setText(kLatitudeBox, "0");
    clearCells(form);
    for (int column = 1; column <= kColumns; ++column)
        form.setText(declinationBox(column), "0");
    form.setCaption(kCornerLabel, "");
    for (int column = 1; column <= kColumns; ++column)
        form.setCaption(headingLabel(column), "");
}

} // namespace solvara
