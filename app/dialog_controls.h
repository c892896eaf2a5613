// Building the dialogs' controls from their templates: a control with its
// identifier and text at a rectangle in dialog units.
#pragma once

#include <QString>
#include <QValidator>
#include <QWidget>

#include "panel/dialog_layout.h"

namespace tavrel::ui {

// A control of type T (constructed from its text) placed in `parent`; `id` -1
// for a static label that carries no identifier.
template <typename T>
T* MakeControl(QWidget* parent, int id, const QString& text, int x, int y, int w, int h) {
  auto* control = new T(text, parent);
  if (id >= 0) SetControlId(control, id, text);
  control->setAccessibleName(text);
  PlaceInDialogUnits(control, x, y, w, h);
  return control;
}

// Turns letters into capitals as they are typed or pasted, as the camera's
// messages are written.
class CapitalsValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

}  // namespace tavrel::ui
