// "Select Communication System": how the camera is connected and which model
// it is. Shown once at start-up; sets cameraType itself.
#pragma once

#include <QDialog>
#include <string>

#include "app/com_port_menus.h"
#include "model/link_choice.h"

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QGroupBox;
class QPushButton;

namespace tavrel {

class FileChooser;

// The port/board choices after the COM buttons (0 to 9, COM1 to COM10).
inline constexpr int kEeuresysChoice = 10;
inline constexpr int kMatroxChoice = 11;
inline constexpr int kOtherLibraryChoice = 12;

// What the dialog was closed with.
struct CommSelection {
  bool opened = false;
  int linkKind = 0;    // 0 RS-232C port, 1 CameraLink board
  int portChoice = 0;  // 0..9 COM1..COM10, 10 Eeuresys, 11 Matrox, 12 other library
  int baudChoice = 0;  // 0 9600, 1 19200, else 38400
  std::string dllPath;
  int cameraRow = 0;
};

// The link the selection names: COM n at the chosen rate, or a board's
// library ("clseremc.dll", "clsermtx.dll", or the path given).
LinkChoice ChosenLink(const CommSelection& selection);

class CSelectCommDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kDialogId = 132;
  static constexpr int kIdFirstCom = 1119;  // .. 1128
  static constexpr int kIdEeuresys = 1106;
  static constexpr int kIdMatrox = 1107;
  static constexpr int kIdOtherFactory = 1108;
  static constexpr int kIdDllPath = 1109;
  static constexpr int kIdBrowse = 2110;
  static constexpr int kIdBaud9600 = 1132;
  static constexpr int kIdBaud19200 = 1133;
  static constexpr int kIdBaud38400 = 1134;
  static constexpr int kIdOpen = 1111;
  static constexpr int kIdCancel = 1112;
  static constexpr int kIdBoardMakerGroup = 1131;
  static constexpr int kIdDllLabel = 1113;
  static constexpr int kIdRs232Group = 1118;
  static constexpr int kIdBaudGroup = 1130;
  static constexpr int kIdOpenPortGroup = 1117;
  static constexpr int kIdFirstCameraRow = 1139;  // .. 1145

  // `fileChooser` serves Browse; not owned.
  CSelectCommDlg(FileChooser& fileChooser, QWidget* parent = nullptr);

  CommSelection Selection() const;

  // The COM buttons say which device each stands for and offer the devices
  // found in a context menu (app/com_port_menus.h).
  void OfferComPortMenus(ComPortMenuServices services);

  // Control events (public so that scripted runs can drive them).
  void OnPortClicked(int portChoice);
  void OnBrowse();
  void OnCameraRowClicked();
  void OnOpen();
  void OnCancel();
  // Probes the lines for a camera and selects the port, the baud rate and
  // the camera row of the first one found on a COM port; says so when none
  // answers (or none on a COM port). OPEN is still the user's.
  void OnFindCamera(const ComPortDirectory& directory, const DialogRunner& runDialog);

  // Radio-group and text exchange: load the controls from the fields, or
  // store the controls into the fields.
  void UpdateData(bool store);

  void accept() override;  // Enter key

 private:
  void BuildControls();
  void EnableBaudControls(bool enable);
  void EnableLibraryControls(bool enable);

  bool m_bOpened = false;
  bool m_bBrowsing = false;
  int m_nLinkKind = 0;
  int m_nPortChoice = 0;
  int m_nBaudChoice = 0;
  QString m_strDllPath;
  int m_nCameraRow = 0;

  FileChooser& m_fileChooser;
  QButtonGroup* m_portGroup = nullptr;
  QButtonGroup* m_baudGroup = nullptr;
  QButtonGroup* m_cameraGroup = nullptr;
  QLineEdit* m_dllPathEdit = nullptr;
  QLabel* m_dllLabel = nullptr;
  QPushButton* m_browseButton = nullptr;
  QGroupBox* m_baudGroupBox = nullptr;
};

// cameraType of each camera row ("KESTRA-P/S" first); -1 outside 0..6.
int CameraTypeOfRow(int row);

}  // namespace tavrel
