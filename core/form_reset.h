#pragma once

#include "form.h"

namespace solvara {

// The reset button: latitude "0" (the equator), every cell and every
// declination "0", every heading empty. The buttons, hour captions and other
// labels keep their texts; nothing is computed.
void resetForm(Form &form);

} // namespace solvara
