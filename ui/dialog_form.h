// Building the dialogs and their controls from their templates: sizes and
// rectangles in dialog units, each with its identifier and text.
#pragma once

#include <QDialog>
#include <QString>
#include <QValidator>
#include <QWidget>

#include "ui/dialog_layout.h"

namespace tavrel::ui {

// A dialog as its template gives it: title, identifier (tagged with the
// title), fixed size in dialog units, and the font whose size the units
// stand for.
inline void SetUpDialog(QDialog* dialog, int id, const QString& title, int width, int height) {
  dialog->setWindowTitle(title);
  SetControlId(dialog, id, title);
  dialog->setFixedSize(DialogUnitsToPixels(width, height));
  dialog->setFont(DialogFont(dialog->font()));
}

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
