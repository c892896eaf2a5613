// The control panel's form (dialog template 144): every control at its place
// in dialog units, tagged with its identifier and caption.
#pragma once

#include <QWidget>
#include <span>

#include "res/string_ids.h"

namespace tavrel::panel {

enum class ControlKind {
  kGroupBox,
  kPushRadio,  // radio button drawn as a push button
  kRadio,
  kHorizontalBar,
  kVerticalBar,
  kValueText,      // right-aligned, sunken
  kValueTextLeft,  // left-aligned, sunken
  kPlainText,      // left-aligned, no frame
  kLabel,
  kColumnHeading,  // right-aligned, no frame: over a column of right-aligned figures
  kEdit,
  kUpDown,
  kPushButton,
};

struct FormControl {
  int id;  // 0 for the labels and boxes nothing refers to
  ControlKind kind;
  res::StringId textId;     // 0 = no caption
  int x, y, width, height;  // dialog units
  bool visible = true;
};

std::span<const FormControl> FormTemplate();

// Creates the template's controls as children of `form` and sizes it.
// Group boxes are plain siblings drawn behind their controls, so enabling a
// box never changes the state of the controls inside it.
void BuildForm(QWidget& form);

}  // namespace tavrel::panel
