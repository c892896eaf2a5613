#include "app/command_menu_dlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "model/camera_unit.h"
#include "ui/dialog_form.h"
#include "ui/dialog_layout.h"

namespace tavrel {
namespace {

struct ButtonText {
  int id;
  const char16_t* text;
};

// Top to bottom, as the area group shows them.
constexpr std::array<ButtonText, 6> kAreaButtons{{
    {CCommandMenuDlg::kIdCommon, u"ｺﾓﾝ"},
    {CCommandMenuDlg::kIdDsp, u"DSP"},
    {CCommandMenuDlg::kIdTg, u"TG"},
    {CCommandMenuDlg::kIdAfe, u"AFE"},
    {CCommandMenuDlg::kIdDdr, u"DDR"},
    {CCommandMenuDlg::kIdInfo, u"INFO"},
}};

constexpr std::array<const char16_t*, kRegisterPageCount> kPageTexts{
    u"00-1F", u"20-3F", u"40-5F", u"60-7F", u"80-9F", u"A0-BF", u"C0-DF", u"E0-FF"};

// Row layout in dialog units: two columns of 16 rows.
constexpr int kRowsPerColumn = 16;
constexpr int kColumnX[2] = {14, 152};
constexpr int kHeadingY = 92;
constexpr int kFirstRowY = 103;
constexpr int kRowPitch = 12;

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
  auto* areaBox = ui::MakeControl<QGroupBox>(this, -1, QStringLiteral("ｴﾘｱ"), 7, 4, 52, 82);
  m_areas = new QButtonGroup(this);
  for (std::size_t i = 0; i < kAreaButtons.size(); ++i) {
    const int y = 15 + static_cast<int>(i) * 11;
    auto* button = ui::MakeControl<QRadioButton>(
        this, kAreaButtons[i].id, QString::fromUtf16(kAreaButtons[i].text), 14, y, 40, 10);
    m_areas->addButton(button, kAreaButtons[i].id);
  }

  auto* pageBox = ui::MakeControl<QGroupBox>(this, -1, QStringLiteral("ｱﾄﾞﾚｽ"), 64, 4, 100, 82);
  m_pages = new QButtonGroup(this);
  for (int page = 0; page < kRegisterPageCount; ++page) {
    const int x = page < 4 ? 72 : 118;
    const int y = 17 + (page % 4) * 16;
    auto* button = ui::MakeControl<QRadioButton>(
        this, kIdPageFirst + page, QString::fromUtf16(kPageTexts[page]), x, y, 42, 10);
    m_pages->addButton(button, kIdPageFirst + page);
  }

  auto* modeBox = ui::MakeControl<QGroupBox>(this, -1, QStringLiteral("ﾓｰﾄﾞ"), 170, 4, 108, 30);
  m_modes = new QButtonGroup(this);
  m_modes->addButton(
      ui::MakeControl<QRadioButton>(this, kIdFpga, QStringLiteral("FPGA"), 178, 17, 38, 10),
      kIdFpga);
  m_modes->addButton(
      ui::MakeControl<QRadioButton>(this, kIdEeprom, QStringLiteral("EEPROM"), 222, 17, 50, 10),
      kIdEeprom);

  auto* allBox = ui::MakeControl<QGroupBox>(this, -1, QStringLiteral("全ﾃﾞｰﾀ"), 170, 40, 108, 46);
  auto* readAll =
      ui::MakeControl<QPushButton>(this, kIdReadAll, QStringLiteral("読み出し"), 178, 56, 44, 16);
  auto* writeAll =
      ui::MakeControl<QPushButton>(this, kIdWriteAll, QStringLiteral("書き込み"), 226, 56, 44, 16);
  for (QGroupBox* box : {areaBox, pageBox, modeBox, allBox}) box->lower();

  for (int column = 0; column < 2; ++column) {
    const int x = kColumnX[column];
    ui::MakeControl<QLabel>(this, -1, QStringLiteral("ｱﾄﾞﾚｽ"), x, kHeadingY, 30, 9);
    ui::MakeControl<QLabel>(this, -1, QStringLiteral("ﾃﾞｰﾀ"), x + 29, kHeadingY, 30, 9);
  }
  for (int row = 0; row < kRegisterPageRows; ++row) {
    const int x = kColumnX[row / kRowsPerColumn];
    const int y = kFirstRowY + (row % kRowsPerColumn) * kRowPitch;
    const int addressId = kIdAddressFirst + row;
    const int dataId = kIdDataFirst + row;
    // Spoken by row and column: "address, row 05", "write row 05".
    const QString rowName = QStringLiteral("row %1").arg(row, 2, 10, QLatin1Char('0'));
    for (auto [id, offset, width] :
         {std::array<int, 3>{addressId, 0, 26}, std::array<int, 3>{dataId, 29, 32}}) {
      auto* edit = ui::MakeControl<QLineEdit>(this, id, QString(), x + offset, y, width, 11);
      edit->setAlignment(Qt::AlignRight);
      edit->setValidator(new ui::CapitalsValidator(edit));
      edit->setAccessibleName(
          (id == addressId ? QStringLiteral("address, ") : QStringLiteral("data, ")) + rowName);
    }
    auto* write = ui::MakeControl<QPushButton>(this, kIdWriteFirst + row, QStringLiteral("W"),
                                               x + 64, y, 15, 11);
    auto* read = ui::MakeControl<QPushButton>(this, kIdReadFirst + row, QStringLiteral("R"), x + 81,
                                              y, 15, 11);
    write->setAccessibleDescription(QStringLiteral("write ") + rowName);
    read->setAccessibleDescription(QStringLiteral("read ") + rowName);
    connect(write, &QPushButton::clicked, this,
            [this, addressId, dataId] { WriteRow(addressId, dataId); });
    connect(read, &QPushButton::clicked, this,
            [this, addressId, dataId] { ReadRow(addressId, dataId); });
  }

  // Area and page buttons refill the rows; the mode buttons do not.
  connect(m_areas, &QButtonGroup::idClicked, this, [this] { RefreshAddresses(); });
  connect(m_pages, &QButtonGroup::idClicked, this, [this] { RefreshAddresses(); });
  connect(writeAll, &QPushButton::clicked, this, &CCommandMenuDlg::WriteAllRows);
  connect(readAll, &QPushButton::clicked, this, &CCommandMenuDlg::ReadAllRows);
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
