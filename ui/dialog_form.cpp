#include "ui/dialog_form.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/dialog_layout.h"
#include "ui/qt_strings.h"

namespace tavrel::ui {

QString FormText::Text() const {
  if (text_ != nullptr) return QString::fromUtf16(text_);
  return id_ != 0 ? LoadQString(id_) : QString();
}

QWidget* GroupBox(const QString& caption, QWidget* form) {
  return new QGroupBox(caption, form);
}

QWidget* PushRadio(const QString& caption, QWidget* form) {
  auto* button = new QPushButton(caption, form);
  button->setCheckable(true);
  button->setAutoDefault(false);
  return button;
}

QWidget* Radio(const QString& caption, QWidget* form) {
  return new QRadioButton(caption, form);
}

QWidget* Label(const QString& caption, QWidget* form) {
  return new QLabel(caption, form);
}

QWidget* Edit(const QString& caption, QWidget* form) {
  return new QLineEdit(caption, form);
}

QWidget* NumberEdit(const QString& caption, QWidget* form) {
  auto* edit = new QLineEdit(caption, form);
  edit->setAlignment(Qt::AlignRight);
  return edit;
}

QWidget* PushButton(const QString& caption, QWidget* form) {
  auto* button = new QPushButton(caption, form);
  button->setAutoDefault(false);
  return button;
}

QWidget* FocusDefaultButton(const QString& caption, QWidget* form) {
  return new QPushButton(caption, form);
}

QWidget* DefaultButton(const QString& caption, QWidget* form) {
  auto* button = new QPushButton(caption, form);
  button->setDefault(true);
  return button;
}

void BuildForm(QWidget& form, std::span<const FormControl> controls) {
  for (const FormControl& control : controls) {
    const QString text = control.text.Text();
    QWidget* widget = control.make(text, &form);
    PlaceInDialogUnits(widget, control.x, control.y, control.width, control.height);
    if (control.id != 0) {
      SetControlId(widget, control.id, text);
    } else {
      widget->setAccessibleName(text);
    }
    widget->setVisible(control.visible);
  }
}

void SetUpDialog(QDialog* dialog, int id, const QString& title, int width, int height) {
  dialog->setWindowTitle(title);
  SetControlId(dialog, id, title);
  dialog->setFixedSize(DialogUnitsToPixels(width, height));
  dialog->setFont(DialogFont(dialog->font()));
}

}  // namespace tavrel::ui
