#include "app/select_comm_dlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <array>

#include "app/file_chooser.h"
#include "model/camera_find.h"
#include "model/parameter_table.h"
#include "serial/com_ports.h"
#include "ui/dialog_form.h"
#include "ui/dialog_layout.h"

namespace tavrel {
namespace {

using D = CSelectCommDlg;
using ui::DefaultButton;
using ui::Edit;
using ui::GroupBox;
using ui::Label;
using ui::PushButton;
using ui::PushRadio;
using ui::Radio;

// Dialog 132 in tab order; the group boxes first, so they are drawn behind
// the controls they frame.
constexpr ui::FormControl kForm[] = {
    {D::kIdBoardMakerGroup, GroupBox, u"Select Board Maker", 166, 19, 144, 31},
    {D::kIdRs232Group, GroupBox, u"RS-232C Setting", 7, 7, 148, 100},
    {D::kIdBaudGroup, GroupBox, u"Baud Rate", 100, 19, 50, 82},
    // Down to 103 units, where the last row of COM buttons ends.
    {D::kIdOpenPortGroup, GroupBox, u"Open Port", 12, 19, 84, 84},
    {0, GroupBox, u"CameraLink Board", 161, 7, 152, 100},
    {0, GroupBox, u"SELECT CAMERA TYPE", 7, 112, 238, 46},
    {D::kIdFirstCom + 0, PushRadio, u"COM 1", 16, 30, 32, 13},
    {D::kIdFirstCom + 1, PushRadio, u"COM 2", 16, 45, 32, 13},
    {D::kIdFirstCom + 2, PushRadio, u"COM 3", 16, 60, 32, 13},
    {D::kIdFirstCom + 3, PushRadio, u"COM 4", 16, 75, 32, 13},
    {D::kIdFirstCom + 4, PushRadio, u"COM 5", 16, 90, 32, 13},
    {D::kIdFirstCom + 5, PushRadio, u"COM 6", 52, 30, 32, 13},
    {D::kIdFirstCom + 6, PushRadio, u"COM 7", 52, 45, 32, 13},
    {D::kIdFirstCom + 7, PushRadio, u"COM 8", 52, 60, 32, 13},
    {D::kIdFirstCom + 8, PushRadio, u"COM 9", 52, 75, 32, 13},
    {D::kIdFirstCom + 9, PushRadio, u"COM10", 52, 90, 32, 13},
    {D::kIdEeuresys, PushRadio, u"Eeuresys", 170, 30, 42, 14},
    {D::kIdMatrox, PushRadio, u"Matrox", 214, 30, 38, 14},
    {D::kIdOtherFactory, PushRadio, u"Other Factory", 254, 30, 54, 14},
    {D::kIdDllPath, Edit, 0, 170, 62, 112, 13},
    {D::kIdBrowse, PushButton, u"Browse", 170, 80, 50, 14},
    {D::kIdBaud9600, Radio, u" 9600", 106, 34, 40, 10},
    {D::kIdBaud19200, Radio, u"19200", 106, 50, 40, 10},
    {D::kIdBaud38400, Radio, u"38400", 106, 66, 40, 10},
    {D::kIdOpen, DefaultButton, u"OPEN", 252, 116, 58, 16},
    {D::kIdCancel, PushButton, u"CANCEL", 252, 138, 58, 16},
    {D::kIdDllLabel, Label, u".dll", 285, 64, 18, 9},
    {D::kIdFirstCameraRow + 0, Radio, u"KESTRA-P/S", 13, 124, 57, 10},
    {D::kIdFirstCameraRow + 1, Radio, u"LOMIRA-P/S", 71, 124, 57, 10},
    {D::kIdFirstCameraRow + 2, Radio, u"PAVON-P/S", 129, 124, 57, 10},
    {D::kIdFirstCameraRow + 3, Radio, u"QUESSA-P/S", 187, 124, 57, 10},
    {D::kIdFirstCameraRow + 4, Radio, u"RINDAL-P/S", 13, 140, 57, 10},
    {D::kIdFirstCameraRow + 5, Radio, u"SOVELI-P/S", 71, 140, 57, 10},
    {D::kIdFirstCameraRow + 6, Radio, u"TEMBRA-P/S", 129, 140, 57, 10},
};

// cameraType of each camera row: the dialog lists the models
// alphabetically, not by their codes.
constexpr std::array<int, 7> kCameraRowTypes{4, 0, 1, 5, 3, 2, 6};

constexpr int kComCount = kLastComPort;

// Loads an exclusive button group from an index; -1 (or any index without a
// button) leaves no button checked.
void LoadGroup(QButtonGroup* group, int index) {
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(group->id(button) == index);
  group->setExclusive(true);
}

}  // namespace

LinkChoice ChosenLink(const CommSelection& selection) {
  if (selection.linkKind == 1) {
    if (selection.portChoice == kEeuresysChoice) return LinkChoice::Board("clseremc.dll");
    if (selection.portChoice == kMatroxChoice) return LinkChoice::Board("clsermtx.dll");
    return LinkChoice::Board(selection.dllPath);
  }
  // Any baud choice past the first two is the last rate.
  const int baudChoice = selection.baudChoice == 0 || selection.baudChoice == 1
                             ? selection.baudChoice
                             : static_cast<int>(kLineRates.size()) - 1;
  return LinkChoice::ComPort(selection.portChoice + 1,
                             kLineRates[static_cast<std::size_t>(baudChoice)]);
}

int CameraTypeOfRow(int row) {
  if (row < 0 || row >= static_cast<int>(kCameraRowTypes.size())) return -1;
  return kCameraRowTypes[static_cast<std::size_t>(row)];
}

CSelectCommDlg::CSelectCommDlg(FileChooser& fileChooser, QWidget* parent)
    : QDialog(parent), m_fileChooser(fileChooser) {
  ui::SetUpDialog(this, kDialogId, QStringLiteral("Select Communication System"), 318, 165);
  BuildControls();
  // The first camera row is selected when the dialog opens.
  cameraType = CameraTypeOfRow(0);
  UpdateData(false);
}

void CSelectCommDlg::BuildControls() {
  ui::BuildForm(*this, kForm);
  const auto button = [this](int id) { return ui::FindControlAs<QAbstractButton>(this, id); };
  // Radio group A: the COM buttons, then the board makers.
  m_portGroup = new QButtonGroup(this);
  for (int i = 0; i < kComCount; ++i) m_portGroup->addButton(button(kIdFirstCom + i), i);
  for (int i = 0; i < 3; ++i) m_portGroup->addButton(button(kIdEeuresys + i), kEeuresysChoice + i);
  m_baudGroup = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) m_baudGroup->addButton(button(kIdBaud9600 + i), i);
  m_cameraGroup = new QButtonGroup(this);
  for (int row = 0; row < static_cast<int>(kCameraRowTypes.size()); ++row) {
    m_cameraGroup->addButton(button(kIdFirstCameraRow + row), row);
  }
  m_dllPathEdit = ui::FindControlAs<QLineEdit>(this, kIdDllPath);
  m_dllPathEdit->setAccessibleName(QStringLiteral("Library path"));
  m_browseButton = ui::FindControlAs<QPushButton>(this, kIdBrowse);
  m_dllLabel = ui::FindControlAs<QLabel>(this, kIdDllLabel);
  m_baudGroupBox = ui::FindControlAs<QGroupBox>(this, kIdBaudGroup);

  EnableLibraryControls(false);

  connect(m_portGroup, &QButtonGroup::idClicked, this, [this](int id) { OnPortClicked(id); });
  connect(m_cameraGroup, &QButtonGroup::idClicked, this, [this](int) { OnCameraRowClicked(); });
  connect(m_browseButton, &QPushButton::clicked, this, [this] { OnBrowse(); });
  connect(button(kIdOpen), &QAbstractButton::clicked, this, [this] { OnOpen(); });
  connect(button(kIdCancel), &QAbstractButton::clicked, this, [this] { OnCancel(); });
}

void CSelectCommDlg::EnableBaudControls(bool enable) {
  for (QAbstractButton* button : m_baudGroup->buttons()) button->setEnabled(enable);
  m_baudGroupBox->setEnabled(enable);
}

void CSelectCommDlg::EnableLibraryControls(bool enable) {
  m_dllPathEdit->setEnabled(enable);
  m_dllLabel->setEnabled(enable);
  m_browseButton->setEnabled(enable);
}

void CSelectCommDlg::OnPortClicked(int portChoice) {
  if (portChoice < kComCount) {
    EnableBaudControls(true);
    EnableLibraryControls(false);
    m_nLinkKind = 0;
    return;
  }
  EnableBaudControls(false);
  EnableLibraryControls(portChoice == kOtherLibraryChoice);
  m_nLinkKind = 1;
}

void CSelectCommDlg::OnBrowse() {
  if (m_bBrowsing) return;
  m_bBrowsing = true;
  FileRequest request;
  request.title = QStringLiteral("OPEN DLL FILE");
  request.filters = {QStringLiteral("dll file (*.dll)"), QStringLiteral("all file (*.*)")};
  request.defaultSuffix = QStringLiteral("dll");
  if (const auto chosen = m_fileChooser.ChooseFileToOpen(request)) m_strDllPath = *chosen;
  m_bBrowsing = false;
  // Loads every control from the fields, so the radio groups show what was
  // last stored, not what was clicked since.
  UpdateData(false);
}

void CSelectCommDlg::OnCameraRowClicked() {
  UpdateData(true);
  const int type = CameraTypeOfRow(m_nCameraRow);
  if (type >= 0) cameraType = type;
}

void CSelectCommDlg::OnOpen() {
  m_bOpened = true;
  UpdateData(true);
  QDialog::accept();
}

void CSelectCommDlg::OnCancel() {
  m_bOpened = false;
  QDialog::reject();
}

void CSelectCommDlg::accept() {
  OnOpen();
}

void CSelectCommDlg::UpdateData(bool store) {
  if (store) {
    m_nPortChoice = m_portGroup->checkedId();
    m_nBaudChoice = m_baudGroup->checkedId();
    m_strDllPath = m_dllPathEdit->text();
    m_nCameraRow = m_cameraGroup->checkedId();
    return;
  }
  LoadGroup(m_portGroup, m_nPortChoice);
  LoadGroup(m_baudGroup, m_nBaudChoice);
  m_dllPathEdit->setText(m_strDllPath);
  LoadGroup(m_cameraGroup, m_nCameraRow);
}

void CSelectCommDlg::OfferComPortMenus(ComPortMenuServices services) {
  const ComPortDirectory* directory = services.directory;
  DialogRunner runDialog = services.runDialog ? services.runDialog : ModalDialogRunner();
  auto* menus = new ComPortMenus(std::move(services), this);
  for (int i = 0; i < kComCount; ++i) menus->Attach(m_portGroup->button(i), i + 1);
  connect(menus, &ComPortMenus::findCameraRequested, this,
          [this, directory, runDialog] { OnFindCamera(*directory, runDialog); });
}

void CSelectCommDlg::OnFindCamera(const ComPortDirectory& directory,
                                  const DialogRunner& runDialog) {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  const CameraSearch search = FindCameras(directory);
  QGuiApplication::restoreOverrideCursor();
  const auto onComPort = std::find_if(search.found.begin(), search.found.end(),
                                      [](const FoundCamera& camera) { return camera.port != 0; });
  if (onComPort == search.found.end()) {
    const QString text =
        search.found.empty()
            ? QStringLiteral("No camera answers on the COM ports or the serial devices.")
            : QString::fromStdString(CameraAnswersHint(search)) +
                  QStringLiteral(
                      "No COM port stands for it: choose its device for a COM "
                      "button in the button's menu.");
    QMessageBox box(QMessageBox::Information, windowTitle(), text, QMessageBox::Ok, this);
    runDialog(box);
    return;
  }
  QAbstractButton* port = m_portGroup->button(onComPort->port - 1);
  port->setChecked(true);
  OnPortClicked(onComPort->port - 1);
  const auto rate = std::find(kLineRates.begin(), kLineRates.end(), onComPort->baud);
  m_baudGroup->button(static_cast<int>(rate - kLineRates.begin()))->setChecked(true);
  const auto row = std::find(kCameraRowTypes.begin(), kCameraRowTypes.end(), onComPort->cameraType);
  if (row != kCameraRowTypes.end()) {
    m_cameraGroup->button(static_cast<int>(row - kCameraRowTypes.begin()))->setChecked(true);
    OnCameraRowClicked();
  }
  port->setFocus();
}

CommSelection CSelectCommDlg::Selection() const {
  CommSelection selection;
  selection.opened = m_bOpened;
  selection.linkKind = m_nLinkKind;
  selection.portChoice = m_nPortChoice;
  selection.baudChoice = m_nBaudChoice;
  selection.dllPath = m_strDllPath.toStdString();
  selection.cameraRow = m_nCameraRow;
  return selection;
}

}  // namespace tavrel
