// The settings document: the camera object's 129 values as a file that can be
// saved and opened (opening writes it to the camera), the modified flag and
// the save-changes prompt, and the Interface menu's commands.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "app/dialog_runner.h"
#include "app/recent_file_list.h"
#include "model/com_port_directory.h"
#include "model/parameter_document.h"
#include "res/string_ids.h"

class QWidget;

namespace tavrel {

class CCommandMenuDlg;
class FileChooser;
class UserPrompt;

class CTavrelDoc : public QObject, public ParameterDocument {
  Q_OBJECT

 public:
  // `comPorts`: the COM ports' devices, which the Serial Port dialog offers
  // to change; it outlives the document.
  CTavrelDoc(CameraUnit& camera, UserPrompt& prompt, FileChooser& files, ProfileStore& profile,
             const ComPortDirectory& comPorts, QObject* parent = nullptr);
  ~CTavrelDoc() override;

  QString PathName() const { return m_pathName; }
  // The file's name, or "Untitled".
  QString Title() const { return m_title; }
  const QStringList& RecentFiles() const { return m_recentFiles.Files(); }

  // File commands. Each asks "Save changes to %1?" first where it replaces
  // the document. False when nothing was done (cancelled or failed).
  bool OnFileNew();
  bool OnFileOpen();
  bool OnFileSave();
  bool OnFileSaveAs();
  bool OpenDocumentFile(const QString& path);
  bool OpenRecentFile(const QString& path);
  // The prompt before the document is replaced or the program ends: true to
  // go on (saved, or changes dropped), false to stop.
  bool SaveModified();

  // Where the Interface menu's dialogs go: their parent window (may be null)
  // and how they are run (QDialog::exec unless a test drives them).
  void SetDialogHost(QWidget* parent, DialogRunner runDialog);

  // Interface menu commands.
  void OnSetupPort();
  void OnReadFromCamera();
  void OnWriteToCamera();
  void OnManualCommand();
  void OnCommandMenu();
  // Runs a document command by id; false when the document has none.
  bool OnCommand(int commandId);

  void SetModifiedFlag(bool modified) override;

  // The register editor, or null before the first Command Menu.
  CCommandMenuDlg* CommandMenu() const;

 signals:
  // The view fills every control from the table (a document was created or
  // opened).
  void initialUpdate();
  // The view refreshes from the table (the camera was read).
  void updateAllViews();
  void recentFilesChanged(const QStringList& files);

 private:
  // A new, untitled document; the values are left as they are.
  void ResetToUntitled();
  bool DoSave(const QString& path, bool replace);
  void SetPathName(const QString& path);
  void ShowMessage(const std::string& text);
  // The framework's message, and under it the system's reason.
  void ShowFileError(res::StringId message, const std::string& reason);

  UserPrompt& m_prompt;
  FileChooser& m_files;
  RecentFileList m_recentFiles;
  // The COM ports of the Serial Port dialog's menus, kept in the profile.
  const ComPortDirectory& m_comPorts;
  QString m_pathName;
  QString m_title;
  QWidget* m_dialogParent = nullptr;
  DialogRunner m_runDialog = ModalDialogRunner();
  // Deleted with its owner window, or by the document.
  QPointer<CCommandMenuDlg> m_pCommandMenu;
};

}  // namespace tavrel
