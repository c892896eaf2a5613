// Message boxes of the window program answered without blocking: the runner
// given to QtUserPrompt notes what each box showed and presses one button.
#pragma once

#include <QMessageBox>
#include <QString>
#include <vector>

#include "app/dialog_runner.h"

namespace tavrel::testing {

// What a box showed, taken while it was up.
struct ShownBox {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString caption;
  QString text;
  QMessageBox::StandardButtons buttons;
  QWidget* owner = nullptr;
};

// Answers every box with `answer` and remembers what it showed.
inline DialogRunner Answering(std::vector<ShownBox>& shown, QMessageBox::StandardButton answer) {
  return [&shown, answer](QDialog& dialog) {
    auto& box = static_cast<QMessageBox&>(dialog);
    shown.push_back(
        {box.icon(), box.windowTitle(), box.text(), box.standardButtons(), box.parentWidget()});
    return static_cast<int>(answer);
  };
}

}  // namespace tavrel::testing
