// Forms and dialogs built from their templates as tables: each control with
// its identifier, kind, caption and place in dialog units. The control
// panel's form and every fixed dialog are built this one way.
#pragma once

#include <QDialog>
#include <QString>
#include <QValidator>
#include <QWidget>
#include <cstddef>
#include <span>

#include "res/string_ids.h"

namespace tavrel::ui {

// A control's caption: a string-table text, or one written in the table
// (the dialogs' own texts, Japanese ones among them). Empty when neither.
class FormText {
 public:
  constexpr FormText() = default;
  // Tables name string-table texts by their identifier alone; 0 is none.
  constexpr FormText(res::StringId id) : id_(id) {}  // NOLINT(google-explicit-constructor)
  template <std::size_t N>
  constexpr FormText(const char16_t (&text)[N]) : text_(text) {}  // NOLINT

  QString Text() const;

 private:
  res::StringId id_ = 0;
  const char16_t* text_ = nullptr;
};

// Makes one control from its caption, as a child of `form`.
using MakeControl = QWidget* (*)(const QString& caption, QWidget* form);

// The controls the forms share.
QWidget* GroupBox(const QString& caption, QWidget* form);
// A radio button drawn as a push button; Enter does not press it.
QWidget* PushRadio(const QString& caption, QWidget* form);
QWidget* Radio(const QString& caption, QWidget* form);
QWidget* Label(const QString& caption, QWidget* form);
QWidget* Edit(const QString& caption, QWidget* form);
// An edit for figures: right-aligned.
QWidget* NumberEdit(const QString& caption, QWidget* form);
// A push button that Enter does not press, not even while it has the focus:
// Enter stays with the dialog's default button.
QWidget* PushButton(const QString& caption, QWidget* form);
// A push button that Enter presses while it has the focus, as a dialog's
// buttons are by default.
QWidget* FocusDefaultButton(const QString& caption, QWidget* form);
// The dialog's default button: Enter presses it.
QWidget* DefaultButton(const QString& caption, QWidget* form);

// One row of a form's template.
struct FormControl {
  int id;  // 0 for the labels and boxes nothing refers to
  MakeControl make;
  FormText text;
  int x, y, width, height;  // dialog units
  bool visible = true;
};

// Creates the template's controls as children of `form`, in the table's
// order, which is the tab order: a group box comes before what it frames, so
// it is drawn behind it. Each control is placed, tagged with its identifier
// and named by its caption.
void BuildForm(QWidget& form, std::span<const FormControl> controls);

// A dialog as its template gives it: title, identifier (tagged with the
// title), fixed size in dialog units, and the font whose size the units
// stand for.
void SetUpDialog(QDialog* dialog, int id, const QString& title, int width, int height);

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
