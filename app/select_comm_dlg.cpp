#include "app/select_comm_dlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "app/dialog_controls.h"
#include "app/file_chooser.h"
#include "model/parameter_table.h"
#include "panel/dialog_layout.h"

namespace tavrel {
namespace {

struct CameraRow {
  const char* text;
  int type;
};
// The dialog lists the models alphabetically, not by their codes.
constexpr std::array<CameraRow, 7> kCameraRows{{{"KESTRA-P/S", 4},
                                                {"LOMIRA-P/S", 0},
                                                {"PAVON-P/S", 1},
                                                {"QUESSA-P/S", 5},
                                                {"RINDAL-P/S", 3},
                                                {"SOVELI-P/S", 2},
                                                {"TEMBRA-P/S", 6}}};

constexpr int kComCount = 10;

// Loads an exclusive button group from an index; -1 (or any index without a
// button) leaves no button checked.
void LoadGroup(QButtonGroup* group, int index) {
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(group->id(button) == index);
  group->setExclusive(true);
}

}  // namespace

int CameraTypeOfRow(int row) {
  if (row < 0 || row >= static_cast<int>(kCameraRows.size())) return -1;
  return kCameraRows[static_cast<std::size_t>(row)].type;
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
  // Controls are created in tab order; the group boxes are then sent to the
  // back so that they only frame the buttons.
  m_portGroup = new QButtonGroup(this);
  for (int i = 0; i < kComCount; ++i) {
    const QString text = i < 9 ? QStringLiteral("COM %1").arg(i + 1) : QStringLiteral("COM10");
    auto* button = ui::MakeControl<QPushButton>(this, kIdFirstCom + i, text, 16 + (i / 5) * 36,
                                                30 + (i % 5) * 15, 32, 13);
    button->setCheckable(true);
    button->setAutoDefault(false);
    m_portGroup->addButton(button, i);
  }
  struct Maker {
    const char* text;
    int x;
    int width;
  };
  const std::array<Maker, 3> makers{
      {{"Eeuresys", 170, 42}, {"Matrox", 214, 38}, {"Other Factory", 254, 54}}};
  for (int i = 0; i < 3; ++i) {
    auto* button =
        ui::MakeControl<QPushButton>(this, kIdEeuresys + i, QString::fromLatin1(makers[i].text),
                                     makers[i].x, 30, makers[i].width, 14);
    button->setCheckable(true);
    button->setAutoDefault(false);
    m_portGroup->addButton(button, kComCount + i);
  }
  m_dllPathEdit = new QLineEdit(this);
  ui::SetControlId(m_dllPathEdit, kIdDllPath, QStringLiteral("Library path"));
  ui::PlaceInDialogUnits(m_dllPathEdit, 170, 62, 112, 13);
  m_browseButton =
      ui::MakeControl<QPushButton>(this, kIdBrowse, QStringLiteral("Browse"), 170, 80, 50, 14);
  m_browseButton->setAutoDefault(false);

  m_baudGroup = new QButtonGroup(this);
  const std::array<const char*, 3> bauds{" 9600", "19200", "38400"};
  for (int i = 0; i < 3; ++i) {
    auto* radio = ui::MakeControl<QRadioButton>(
        this, kIdBaud9600 + i, QString::fromLatin1(bauds[i]), 106, 34 + i * 16, 40, 10);
    m_baudGroup->addButton(radio, i);
  }

  auto* open =
      ui::MakeControl<QPushButton>(this, kIdOpen, QStringLiteral("OPEN"), 252, 116, 58, 16);
  open->setDefault(true);
  auto* cancel =
      ui::MakeControl<QPushButton>(this, kIdCancel, QStringLiteral("CANCEL"), 252, 138, 58, 16);
  cancel->setAutoDefault(false);

  QList<QWidget*> boxes;
  boxes << ui::MakeControl<QGroupBox>(this, kIdBoardMakerGroup,
                                      QStringLiteral("Select Board Maker"), 166, 19, 144, 31);
  m_dllLabel = ui::MakeControl<QLabel>(this, kIdDllLabel, QStringLiteral(".dll"), 285, 64, 18, 9);
  boxes << ui::MakeControl<QGroupBox>(this, kIdRs232Group, QStringLiteral("RS-232C Setting"), 7, 7,
                                      148, 100);
  m_baudGroupBox =
      ui::MakeControl<QGroupBox>(this, kIdBaudGroup, QStringLiteral("Baud Rate"), 100, 19, 50, 82);
  boxes << m_baudGroupBox;
  // Down to 103 units, where the last row of COM buttons ends.
  boxes << ui::MakeControl<QGroupBox>(this, kIdOpenPortGroup, QStringLiteral("Open Port"), 12, 19,
                                      84, 84);
  boxes << ui::MakeControl<QGroupBox>(this, -1, QStringLiteral("CameraLink Board"), 161, 7, 152,
                                      100);

  m_cameraGroup = new QButtonGroup(this);
  for (int row = 0; row < static_cast<int>(kCameraRows.size()); ++row) {
    auto* radio = ui::MakeControl<QRadioButton>(this, kIdFirstCameraRow + row,
                                                QString::fromLatin1(kCameraRows[row].text),
                                                13 + (row % 4) * 58, 124 + (row / 4) * 16, 57, 10);
    m_cameraGroup->addButton(radio, row);
  }
  boxes << ui::MakeControl<QGroupBox>(this, -1, QStringLiteral("SELECT CAMERA TYPE"), 7, 112, 238,
                                      46);
  // Inner boxes last so they stay above the outer ones.
  for (auto it = boxes.rbegin(); it != boxes.rend(); ++it) (*it)->lower();

  EnableLibraryControls(false);

  connect(m_portGroup, &QButtonGroup::idClicked, this, [this](int id) { OnPortClicked(id); });
  connect(m_cameraGroup, &QButtonGroup::idClicked, this, [this](int) { OnCameraRowClicked(); });
  connect(m_browseButton, &QPushButton::clicked, this, [this] { OnBrowse(); });
  connect(open, &QPushButton::clicked, this, [this] { OnOpen(); });
  connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
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
  EnableLibraryControls(portChoice == kComCount + 2);
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
  auto* menus = new ComPortMenus(std::move(services), this);
  for (int i = 0; i < kComCount; ++i) menus->Attach(m_portGroup->button(i), i + 1);
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
