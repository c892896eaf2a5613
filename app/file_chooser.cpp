#include "app/file_chooser.h"

#include <QFileDialog>

namespace tavrel {
namespace {

std::optional<QString> Run(const FileRequest& request, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(request.owner, request.title);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  dialog.setNameFilters(request.filters);
  if (!request.filters.isEmpty()) dialog.selectNameFilter(request.filters.front());
  dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.proposedPath.isEmpty()) dialog.selectFile(request.proposedPath);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}

}  // namespace

std::optional<QString> QtFileChooser::ChooseFileToOpen(const FileRequest& request) {
  return Run(request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtFileChooser::ChooseFileToSave(const FileRequest& request) {
  return Run(request, QFileDialog::AcceptSave);
}

}  // namespace tavrel
