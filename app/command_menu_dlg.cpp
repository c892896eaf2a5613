#include "app/command_menu_dlg.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLineEdit>
#include <vector>

#include "model/camera_unit.h"
#include "ui/dialog_form.h"
#include "ui/dialog_layout.h"

namespace tavrel {
namespace {

using D = CCommandMenuDlg;
using ui::FocusDefaultButton;
using ui::GroupBox;
using ui::Label;
using ui::Radio;

// Row layout in dialog units: two columns of 16 rows.
constexpr int kRowsPerColumn = 16;
constexpr int kColumnX[2] = {14, 152};
constexpr int kHeadingY = 92;
constexpr int kFirstRowY = 103;
constexpr int kRowPitch = 12;

// Dialog 138 in tab order, the group boxes first; the 32 register rows
// follow (RowControls).
constexpr ui::FormControl kForm[] = {
    {0, GroupBox, u"ｴﾘｱ", 7, 4, 52, 82},
    {0, GroupBox, u"ｱﾄﾞﾚｽ", 64, 4, 100, 82},
    {0, GroupBox, u"ﾓｰﾄﾞ", 170, 4, 108, 30},
    {0, GroupBox, u"全ﾃﾞｰﾀ", 170, 40, 108, 46},
    // Areas, top to bottom.
    {D::kIdCommon, Radio, u"ｺﾓﾝ", 14, 15, 40, 10},
    {D::kIdDsp, Radio, u"DSP", 14, 26, 40, 10},
    {D::kIdTg, Radio, u"TG", 14, 37, 40, 10},
    {D::kIdAfe, Radio, u"AFE", 14, 48, 40, 10},
    {D::kIdDdr, Radio, u"DDR", 14, 59, 40, 10},
    {D::kIdInfo, Radio, u"INFO", 14, 70, 40, 10},
    // Pages.
    {D::kIdPageFirst + 0, Radio, u"00-1F", 72, 17, 42, 10},
    {D::kIdPageFirst + 1, Radio, u"20-3F", 72, 33, 42, 10},
    {D::kIdPageFirst + 2, Radio, u"40-5F", 72, 49, 42, 10},
    {D::kIdPageFirst + 3, Radio, u"60-7F", 72, 65, 42, 10},
    {D::kIdPageFirst + 4, Radio, u"80-9F", 118, 17, 42, 10},
    {D::kIdPageFirst + 5, Radio, u"A0-BF", 118, 33, 42, 10},
    {D::kIdPageFirst + 6, Radio, u"C0-DF", 118, 49, 42, 10},
    {D::kIdPageFirst + 7, Radio, u"E0-FF", 118, 65, 42, 10},
    // Modes.
    {D::kIdFpga, Radio, u"FPGA", 178, 17, 38, 10},
    {D::kIdEeprom, Radio, u"EEPROM", 222, 17, 50, 10},
    // The whole page.
    {D::kIdReadAll, FocusDefaultButton, u"読み出し", 178, 56, 44, 16},
    {D::kIdWriteAll, FocusDefaultButton, u"書き込み", 226, 56, 44, 16},
    // Column headings.
    {0, Label, u"ｱﾄﾞﾚｽ", kColumnX[0], kHeadingY, 30, 9},
    {0, Label, u"ﾃﾞｰﾀ", kColumnX[0] + 29, kHeadingY, 30, 9},
    {0, Label, u"ｱﾄﾞﾚｽ", kColumnX[1], kHeadingY, 30, 9},
    {0, Label, u"ﾃﾞｰﾀ", kColumnX[1] + 29, kHeadingY, 30, 9},
};

// Row k: its address and data edits, its "W" and "R" buttons; the right
// column holds rows 16 to 31.
std::vector<ui::FormControl> RowControls() {
  std::vector<ui::FormControl> rows;
  for (int row = 0; row < kRegisterPageRows; ++row) {
    const int x = kColumnX[row / kRowsPerColumn];
    const int y = kFirstRowY + (row % kRowsPerColumn) * kRowPitch;
    rows.push_back({D::kIdAddressFirst + row, ui::NumberEdit, {}, x, y, 26, 11});
    rows.push_back({D::kIdDataFirst + row, ui::NumberEdit, {}, x + 29, y, 32, 11});
    rows.push_back({D::kIdWriteFirst + row, FocusDefaultButton, u"W", x + 64, y, 15, 11});
    rows.push_back({D::kIdReadFirst + row, FocusDefaultButton, u"R", x + 81, y, 15, 11});
  }
  return rows;
}

}  // namespace

CCommandMenuDlg::CCommandMenuDlg(CameraUnit& camera, QWidget* parent)
    : QDialog(parent), m_camera(camera) {
  ui::SetUpDialog(this, kDialogId, QStringLiteral("Command Menu"), 286, 307);
  BuildControls();

  // The initial choice: TG, the first page, the FPGA; nothing is sent.
  m_areas->button(kIdTg)->setChecked(true);
  m_pages->button(kIdPageFirst)->setChecked(true);
  m_modes->button(kIdFpga)->setChecked(true);
  RefreshAddresses();
}

void CCommandMenuDlg::BuildControls() {
  ui::BuildForm(*this, kForm);
  ui::BuildForm(*this, RowControls());
  const auto button = [this](int id) { return ui::FindControlAs<QAbstractButton>(this, id); };
  m_areas = new QButtonGroup(this);
  for (int id : {kIdCommon, kIdDsp, kIdTg, kIdAfe, kIdDdr, kIdInfo})
    m_areas->addButton(button(id), id);
  m_pages = new QButtonGroup(this);
  for (int id = kIdPageFirst; id <= kIdPageLast; ++id) m_pages->addButton(button(id), id);
  m_modes = new QButtonGroup(this);
  m_modes->addButton(button(kIdFpga), kIdFpga);
  m_modes->addButton(button(kIdEeprom), kIdEeprom);

  for (int row = 0; row < kRegisterPageRows; ++row) {
    const int addressId = kIdAddressFirst + row;
    const int dataId = kIdDataFirst + row;
    // Spoken by row and column: "address, row 05", "write row 05".
    const QString rowName = QStringLiteral("row %1").arg(row, 2, 10, QLatin1Char('0'));
    for (const int id : {addressId, dataId}) {
      QLineEdit* edit = Edit(id);
      edit->setValidator(new ui::CapitalsValidator(edit));
      edit->setAccessibleName(
          (id == addressId ? QStringLiteral("address, ") : QStringLiteral("data, ")) + rowName);
    }
    QAbstractButton* write = button(kIdWriteFirst + row);
    QAbstractButton* read = button(kIdReadFirst + row);
    write->setAccessibleDescription(QStringLiteral("write ") + rowName);
    read->setAccessibleDescription(QStringLiteral("read ") + rowName);
    connect(write, &QAbstractButton::clicked, this,
            [this, addressId, dataId] { WriteRow(addressId, dataId); });
    connect(read, &QAbstractButton::clicked, this,
            [this, addressId, dataId] { ReadRow(addressId, dataId); });
  }

  // Area and page buttons refill the rows; the mode buttons do not.
  connect(m_areas, &QButtonGroup::idClicked, this, [this] { RefreshAddresses(); });
  connect(m_pages, &QButtonGroup::idClicked, this, [this] { RefreshAddresses(); });
  connect(button(kIdWriteAll), &QAbstractButton::clicked, this, &CCommandMenuDlg::WriteAllRows);
  connect(button(kIdReadAll), &QAbstractButton::clicked, this, &CCommandMenuDlg::ReadAllRows);
}

QLineEdit* CCommandMenuDlg::Edit(int id) const {
  return ui::FindControlAs<QLineEdit>(this, id);
}

RegisterArea CCommandMenuDlg::SelectedArea() const {
  switch (m_areas->checkedId()) {
    case kIdCommon:
      return RegisterArea::kCommon;
    case kIdAfe:
      return RegisterArea::kAfe;
    case kIdInfo:
      return RegisterArea::kInfo;
    case kIdDsp:
      return RegisterArea::kDsp;
    case kIdDdr:
      return RegisterArea::kDdr;
    default:
      return RegisterArea::kTg;
  }
}

RegisterMode CCommandMenuDlg::SelectedMode() const {
  return m_modes->checkedId() == kIdFpga ? RegisterMode::kFpga : RegisterMode::kEeprom;
}

int CCommandMenuDlg::SelectedPageBase() const {
  const int page = m_pages->checkedId() - kIdPageFirst;
  return page >= 0 && page < kRegisterPageCount ? page * kRegisterPageRows : 0;
}

void CCommandMenuDlg::RefreshAddresses() {
  const RegisterArea area = SelectedArea();
  const int base = SelectedPageBase();
  for (int row = 0; row < kRegisterPageRows; ++row) {
    const RegisterRowText text = InitialRegisterRow(area, base, row);
    Edit(kIdAddressFirst + row)->setText(QString::fromStdString(text.address));
    Edit(kIdDataFirst + row)->setText(QString::fromStdString(text.data));
  }
}

RegisterRowOutcome CCommandMenuDlg::WriteRow(int addressId, int dataId) {
  return WriteRegisterRow(m_camera, SelectedMode(), SelectedArea(),
                          Edit(addressId)->text().toStdString(),
                          Edit(dataId)->text().toStdString());
}

RegisterRowOutcome CCommandMenuDlg::ReadRow(int addressId, int dataId) {
  const RegisterArea area = SelectedArea();
  std::string data;
  const RegisterRowOutcome outcome =
      ReadRegisterRow(m_camera, SelectedMode(), area, Edit(addressId)->text().toStdString(), data);
  if (outcome == RegisterRowOutcome::kDone) Edit(dataId)->setText(QString::fromStdString(data));
  return outcome;
}

void CCommandMenuDlg::WriteAllRows() {
  ForEachRegisterPageRow(
      [this](int row) { return WriteRow(kIdAddressFirst + row, kIdDataFirst + row); });
}

void CCommandMenuDlg::ReadAllRows() {
  ForEachRegisterPageRow(
      [this](int row) { return ReadRow(kIdAddressFirst + row, kIdDataFirst + row); });
}

void CCommandMenuDlg::keyPressEvent(QKeyEvent* event) {
  // Enter outside a button closes (hides) the editor, as Escape does.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace tavrel
