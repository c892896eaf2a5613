// Runs a modal dialog and returns its result code (QDialog::Accepted or
// Rejected). The program runs QDialog::exec(); tests drive the dialog's
// controls and close it themselves, so nothing ever blocks.
#pragma once

#include <QDialog>
#include <functional>

namespace tavrel {

using DialogRunner = std::function<int(QDialog&)>;

inline DialogRunner ModalDialogRunner() {
  return [](QDialog& dialog) { return dialog.exec(); };
}

}  // namespace tavrel
