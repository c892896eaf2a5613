#include "app/tavrel_doc.h"

#include <QDir>
#include <QFileInfo>

#include "app/command_ids.h"
#include "app/command_menu_dlg.h"
#include "app/desktop_platform.h"
#include "app/file_chooser.h"
#include "app/manual_command_dlg.h"
#include "app/qt_user_prompt.h"
#include "app/serial_port_dlg.h"
#include "link/user_prompt.h"
#include "model/access_value.h"
#include "model/camera_unit.h"
#include "model/program_message.h"
#include "model/settings_file.h"
#include "res/string_table.h"

namespace tavrel {
namespace {

std::string Text(res::StringId id) {
  return std::string(res::LoadString(id));
}

QString Field(int index) {
  return QString::fromStdString(Text(res::kIdrMainFrame)).section(QLatin1Char('\n'), index, index);
}

// What every file dialog of the document asks for: the template's filter
// ("TAVDX Files (*.tdx)") and its extension.
FileRequest DocumentFileRequest() {
  FileRequest request;
  request.filters = {Field(3)};
  request.defaultSuffix = QStringLiteral("tdx");
  return request;
}

}  // namespace

CTavrelDoc::CTavrelDoc(CameraUnit& camera, UserPrompt& prompt, FileChooser& files,
                       ProfileStore& profile, const ComPortDirectory& comPorts, QObject* parent)
    : QObject(parent),
      ParameterDocument(camera),
      m_prompt(prompt),
      m_files(files),
      m_recentFiles(profile),
      m_comPorts(comPorts),
      m_title(QString::fromStdString(Text(res::kIdsUntitled))) {}

CTavrelDoc::~CTavrelDoc() {
  delete m_pCommandMenu.data();
}

void CTavrelDoc::SetModifiedFlag(bool modified) {
  ParameterDocument::SetModifiedFlag(modified);
}

void CTavrelDoc::ShowMessage(const std::string& text) {
  m_prompt.ShowMessage(ProgramMessage(text, MessageIcon::kExclamation));
}

void CTavrelDoc::ShowFileError(res::StringId message, const std::string& reason) {
  std::string text = Text(message);
  if (!reason.empty()) text += "\n" + reason;
  ShowMessage(text);
}

bool CTavrelDoc::SaveModified() {
  if (!IsModified()) return true;
  const QString name = m_pathName.isEmpty() ? m_title : QDir::toNativeSeparators(m_pathName);
  const MessageRequest request =
      ProgramMessage(res::FormatMessage(res::kIdsAskToSave, {name.toStdString()}),
                     MessageIcon::kExclamation, MessageButtons::kYesNoCancel);
  switch (m_prompt.ShowMessage(request)) {
    case MessageAnswer::kYes:
      return OnFileSave();
    case MessageAnswer::kNo:
      return true;
    case MessageAnswer::kOk:
    case MessageAnswer::kCancel:
      break;
  }
  return false;
}

void CTavrelDoc::ResetToUntitled() {
  m_pathName.clear();
  m_title = QString::fromStdString(Text(res::kIdsUntitled));
  SetModifiedFlag(false);
}

bool CTavrelDoc::OnFileNew() {
  if (!SaveModified()) return false;
  ResetToUntitled();
  emit initialUpdate();
  return true;
}

bool CTavrelDoc::OnFileOpen() {
  const auto path = m_files.ChooseFileToOpen(DocumentFileRequest());
  if (!path) return false;
  return OpenDocumentFile(*path);
}

bool CTavrelDoc::OpenDocumentFile(const QString& path) {
  if (!SaveModified()) return false;
  // The loader shows the header-mismatch message itself and writes a complete
  // file to the camera.
  const SettingsLoadOutcome outcome = LoadFromFile(LocalFilePath(path));
  switch (outcome.result) {
    case SettingsLoadResult::kLoaded:
    case SettingsLoadResult::kEmpty:
    case SettingsLoadResult::kHeaderMismatch:
      SetPathName(path);
      emit initialUpdate();
      return true;
    case SettingsLoadResult::kUnexpectedFormat:
      ShowMessage(Text(res::kIdsUnexpectedFormat));
      // The values read before the end no longer match any file. The panel
      // keeps showing what the camera still holds: nothing was sent.
      ResetToUntitled();
      return false;
    case SettingsLoadResult::kCannotRead:
      ShowFileError(res::kIdsFailedToOpenDoc, outcome.errorText);
      return false;
  }
  return false;
}

bool CTavrelDoc::OpenRecentFile(const QString& path) {
  if (OpenDocumentFile(path)) return true;
  // A recent file that can no longer be opened leaves the list (not when the
  // user only cancelled the save-changes prompt).
  if (!QFileInfo::exists(path)) {
    m_recentFiles.Remove(path);
    emit recentFilesChanged(m_recentFiles.Files());
  }
  return false;
}

bool CTavrelDoc::OnFileSave() {
  if (m_pathName.isEmpty()) return OnFileSaveAs();
  return DoSave(m_pathName, true);
}

bool CTavrelDoc::OnFileSaveAs() {
  FileRequest request = DocumentFileRequest();
  request.proposedPath = m_pathName.isEmpty() ? m_title + QStringLiteral(".tdx") : m_pathName;
  const auto path = m_files.ChooseFileToSave(request);
  if (!path) return false;
  return DoSave(*path, true);
}

bool CTavrelDoc::DoSave(const QString& path, bool replace) {
  const SettingsSaveOutcome outcome = SaveToFile(LocalFilePath(path));
  if (!outcome.saved) {
    ShowFileError(res::kIdsFailedToSaveDoc, outcome.errorText);
    return false;
  }
  if (replace) SetPathName(path);
  return true;
}

void CTavrelDoc::SetPathName(const QString& path) {
  const QFileInfo info(path);
  m_pathName = info.absoluteFilePath();
  m_title = info.fileName();
  m_recentFiles.Add(m_pathName);
  emit recentFilesChanged(m_recentFiles.Files());
}

void CTavrelDoc::OnManualCommand() {
  {
    CManualCommandDlg dialog(Camera(), m_dialogParent);
    m_runDialog(dialog);
  }
  // Whatever the user sent by hand, the panel shows the camera as it is now.
  OnReadFromCamera();
}

void CTavrelDoc::OnReadFromCamera() {
  if (ReadAllParameters() > 0) emit updateAllViews();
}

void CTavrelDoc::SetDialogHost(QWidget* parent, DialogRunner runDialog) {
  m_dialogParent = parent;
  m_runDialog = runDialog ? std::move(runDialog) : ModalDialogRunner();
}

void CTavrelDoc::OnSetupPort() {
  CameraUnit& camera = Camera();
  CSerialPortDlg dialog(camera.GetPortNumber(), camera.GetBaudRate(), m_dialogParent);
  dialog.OfferComPortMenus({&m_comPorts, m_runDialog});
  if (m_runDialog(dialog) != QDialog::Accepted) return;
  const SerialPortChoice choice = dialog.Choice();
  // The open closes the current link first and shows its own error box.
  if (camera.OpenSerialLink(choice.port, choice.baud) < 0) return;
  OnReadFromCamera();
}

void CTavrelDoc::OnWriteToCamera() {
  // A failed write has shown its box; the copy is offered all the same.
  WriteAllParameters();
  FileRequest request = DocumentFileRequest();
  request.proposedPath = m_pathName;
  request.folderMustExist = true;
  request.owner = m_dialogParent;
  const auto path = m_files.ChooseFileToSave(request);
  if (!path) return;
  // A copy: the document keeps its own file name and title.
  DoSave(*path, false);
}

CCommandMenuDlg* CTavrelDoc::CommandMenu() const {
  return m_pCommandMenu.data();
}

void CTavrelDoc::OnCommandMenu() {
  // An editor the user closed is only hidden: a fresh one replaces it.
  if (m_pCommandMenu && !m_pCommandMenu->isVisible()) delete m_pCommandMenu.data();
  if (m_pCommandMenu) {
    m_pCommandMenu->raise();
    m_pCommandMenu->activateWindow();
  } else {
    m_pCommandMenu = new CCommandMenuDlg(Camera(), m_dialogParent);
    m_pCommandMenu->show();
  }
  if (WriteAccessValue(*this) < 0) ShowUnlockFailed(m_prompt, true);
}

bool CTavrelDoc::OnCommand(int commandId) {
  switch (cmd::HandlerCommand(commandId)) {
    case cmd::kSetupPort:
      OnSetupPort();
      return true;
    case cmd::kReadFromCamera:
      OnReadFromCamera();
      return true;
    case cmd::kWriteToCamera:
      OnWriteToCamera();
      return true;
    case cmd::kManualCommand:
      OnManualCommand();
      return true;
    case cmd::kCommandMenu:
      OnCommandMenu();
      return true;
    case cmd::kFileSave:
      OnFileSave();
      return true;
    case cmd::kFileSaveAs:
      OnFileSaveAs();
      return true;
    default:
      return false;
  }
}

}  // namespace tavrel
