// How the program asks the user for a file name. The window program uses the
// platform's file dialogs; tests answer without showing anything.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "app/dialog_runner.h"

class QWidget;

namespace tavrel {

struct FileRequest {
  QString title;          // empty = the platform's own
  QStringList filters;    // "dll file (*.dll)", ...; the first is in use
  QString defaultSuffix;  // without the dot
  QString proposedPath;   // file name (or path) shown at first
  // Saving: a name in a folder that does not exist is refused and asked again.
  bool folderMustExist = false;
  QWidget* owner = nullptr;
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The chosen existing file, or nothing when the user cancelled.
  virtual std::optional<QString> ChooseFileToOpen(const FileRequest& request) = 0;
  // The chosen file to write, or nothing when the user cancelled.
  virtual std::optional<QString> ChooseFileToSave(const FileRequest& request) = 0;
};

// QFileDialog behind the interface.
class QtFileChooser : public FileChooser {
 public:
  // `run` runs the file dialogs and their warning boxes (QDialog::exec
  // unless a test drives them).
  explicit QtFileChooser(DialogRunner run = {});

  std::optional<QString> ChooseFileToOpen(const FileRequest& request) override;
  std::optional<QString> ChooseFileToSave(const FileRequest& request) override;

 private:
  DialogRunner m_run;
};

}  // namespace tavrel
