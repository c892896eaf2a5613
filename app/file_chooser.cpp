#include "app/file_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace tavrel {
namespace {

std::optional<QString> Run(const DialogRunner& run, const FileRequest& request,
                           QFileDialog::AcceptMode mode) {
  QFileDialog dialog(request.owner, request.title);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  dialog.setNameFilters(request.filters);
  if (!request.filters.isEmpty()) dialog.selectNameFilter(request.filters.front());
  dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.proposedPath.isEmpty()) dialog.selectFile(request.proposedPath);
  if (run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}

}  // namespace

QtFileChooser::QtFileChooser(DialogRunner run)
    : m_run(run ? std::move(run) : ModalDialogRunner()) {}

std::optional<QString> QtFileChooser::ChooseFileToOpen(const FileRequest& request) {
  return Run(m_run, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtFileChooser::ChooseFileToSave(const FileRequest& request) {
  FileRequest next = request;
  for (;;) {
    const auto path = Run(m_run, next, QFileDialog::AcceptSave);
    if (!path || !request.folderMustExist || QFileInfo(*path).absoluteDir().exists()) return path;
    // The dialog takes any typed name; a folder that is not there is the
    // user's to correct, as the platform's own save dialog asks.
    QMessageBox box(QMessageBox::Warning,
                    request.title.isEmpty() ? QStringLiteral("Save As") : request.title,
                    QStringLiteral("%1\nThe folder does not exist.\nCheck the path and try again.")
                        .arg(QDir::toNativeSeparators(*path)),
                    QMessageBox::Ok, request.owner);
    m_run(box);
    next.proposedPath = *path;
  }
}

}  // namespace tavrel
