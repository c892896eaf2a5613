// The control panel's form (dialog template 144): every control at its place
// in dialog units, tagged with its identifier and caption.
#pragma once

#include <QWidget>
#include <span>

#include "ui/dialog_form.h"

namespace tavrel::panel {

using FormControl = ui::FormControl;

std::span<const FormControl> FormTemplate();

// Creates the template's controls as children of `form` and sizes it.
// Group boxes are plain siblings drawn behind their controls, so enabling a
// box never changes the state of the controls inside it.
void BuildForm(QWidget& form);

}  // namespace tavrel::panel
