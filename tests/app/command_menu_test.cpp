// The register editor as the user drives it: Ctrl+P opens it, clicks on the
// area, page and mode buttons, typing into the rows and the row and page
// buttons become messages to the virtual camera on a pty.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <array>

#include "app/command_menu_dlg.h"
#include "sim/register_bank.h"
#include "tests/app/app_rig.h"
#include "ui/dialog_layout.h"

using tavrel::CCommandMenuDlg;
using tavrel::MessageIcon;
using tavrel::testing::AppRig;
using tavrel::ui::FindControlAs;
using Bytes = std::array<std::uint8_t, 3>;
using Dlg = CCommandMenuDlg;

namespace {

constexpr char kAccessBody[] = "01FF01604A1D00";
const std::string kAddressError = "アドレスの入力が不正です。";
const std::string kDataError = "データの入力が不正です。";
const std::string kLinkError = "ERROR - Unexpected character received from camera unit.";

// Presses Ctrl+P in the main window and returns the document's editor.
CCommandMenuDlg* PressCtrlP(AppRig& rig) {
  return rig.PressCtrl(Qt::Key_P) ? rig.Document().CommandMenu() : nullptr;
}

void ClickRadio(CCommandMenuDlg& dialog, int id) {
  auto* button = FindControlAs<QRadioButton>(&dialog, id);
  QVERIFY2(button != nullptr, qPrintable(QString::number(id)));
  // On the indicator, which every style counts as the button.
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void Click(CCommandMenuDlg& dialog, int id) {
  auto* button = FindControlAs<QPushButton>(&dialog, id);
  QVERIFY2(button != nullptr, qPrintable(QString::number(id)));
  QTest::mouseClick(button, Qt::LeftButton);
}

QLineEdit* Edit(CCommandMenuDlg& dialog, int id) {
  return FindControlAs<QLineEdit>(&dialog, id);
}

// Replaces a field's text as a user does: select all, then type.
void Type(CCommandMenuDlg& dialog, int id, const QString& text) {
  QLineEdit* edit = Edit(dialog, id);
  QVERIFY(edit != nullptr);
  QTest::mouseClick(edit, Qt::LeftButton);
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(edit, text);
}

QStringList Fields(CCommandMenuDlg& dialog, int firstId) {
  QStringList texts;
  for (int row = 0; row < 32; ++row) texts << Edit(dialog, firstId + row)->text();
  return texts;
}

}  // namespace

class CommandMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void ctrlPShowsTheEditorInItsInitialStateAndWritesTheAccessValue() {
    AppRig rig;
    QCOMPARE(rig.StartOnCom1(), tavrel::CTavrelApp::StartResult::kRunning);
    // Started under the ordinary name: the menu has no Command Menu item.
    for (QAction* item : rig.Frame().InterfaceMenu()->actions()) {
      QVERIFY(item->text() != QStringLiteral("Command Menu "));
    }
    const std::size_t before = rig.BodyCount();
    CCommandMenuDlg* dialog = PressCtrlP(rig);
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Command Menu"));
    QCOMPARE(rig.BodiesSince(before), std::vector<std::string>{kAccessBody});
    QVERIFY(rig.prompt.messages.empty());

    const std::vector<std::pair<int, QString>> buttons = {
        {Dlg::kIdCommon, QStringLiteral("ｺﾓﾝ")},
        {Dlg::kIdDsp, QStringLiteral("DSP")},
        {Dlg::kIdTg, QStringLiteral("TG")},
        {Dlg::kIdAfe, QStringLiteral("AFE")},
        {Dlg::kIdDdr, QStringLiteral("DDR")},
        {Dlg::kIdInfo, QStringLiteral("INFO")},
        {1113, QStringLiteral("00-1F")},
        {1116, QStringLiteral("60-7F")},
        {1120, QStringLiteral("E0-FF")},
        {Dlg::kIdFpga, QStringLiteral("FPGA")},
        {Dlg::kIdEeprom, QStringLiteral("EEPROM")},
        {Dlg::kIdReadAll, QStringLiteral("読み出し")},
        {Dlg::kIdWriteAll, QStringLiteral("書き込み")},
        {1400, QStringLiteral("W")},
        {1531, QStringLiteral("R")},
    };
    for (const auto& [id, text] : buttons) {
      auto* button = FindControlAs<QAbstractButton>(dialog, id);
      QVERIFY2(button != nullptr, qPrintable(QString::number(id)));
      QCOMPARE(button->text(), text);
    }
    QVERIFY(FindControlAs<QRadioButton>(dialog, Dlg::kIdTg)->isChecked());
    QVERIFY(FindControlAs<QRadioButton>(dialog, 1113)->isChecked());
    QVERIFY(FindControlAs<QRadioButton>(dialog, Dlg::kIdFpga)->isChecked());
    QStringList groups;
    for (auto* box : dialog->findChildren<QGroupBox*>()) groups << box->title();
    groups.sort();
    QStringList expected{QStringLiteral("ｴﾘｱ"), QStringLiteral("ｱﾄﾞﾚｽ"), QStringLiteral("ﾓｰﾄﾞ"),
                         QStringLiteral("全ﾃﾞｰﾀ")};
    expected.sort();
    QCOMPARE(groups, expected);
    QStringList headings;
    for (auto* label : dialog->findChildren<QLabel*>()) headings << label->text();
    QCOMPARE(headings.count(QStringLiteral("ｱﾄﾞﾚｽ")), 2);
    QCOMPARE(headings.count(QStringLiteral("ﾃﾞｰﾀ")), 2);

    QStringList addresses;
    for (int a = 0; a < 32; ++a)
      addresses << QStringLiteral("%1").arg(a, 2, 16, QLatin1Char('0')).toUpper();
    QCOMPARE(Fields(*dialog, 1200), addresses);
    QCOMPARE(Fields(*dialog, 1300), QStringList(32, QStringLiteral("00")));
    QVERIFY(Edit(*dialog, 1300)->alignment() & Qt::AlignRight);
    // Rows 16 to 31 form the right column.
    QCOMPARE(Edit(*dialog, 1216)->y(), Edit(*dialog, 1200)->y());
    QVERIFY(Edit(*dialog, 1216)->x() > FindControlAs<QPushButton>(dialog, 1515)->x());
  }

  void pageWriteAndReadBackInBothModes() {
    AppRig rig;
    rig.StartOnCom1();
    CCommandMenuDlg* dialog = PressCtrlP(rig);
    QVERIFY(dialog != nullptr);
    ClickRadio(*dialog, Dlg::kIdAfe);
    ClickRadio(*dialog, 1114);  // 20-3F
    QCOMPARE(Edit(*dialog, 1203)->text(), QStringLiteral("23"));
    QCOMPARE(Edit(*dialog, 1303)->text(), QStringLiteral("0000"));
    Type(*dialog, 1303, QStringLiteral("abcd"));
    QCOMPARE(Edit(*dialog, 1303)->text(), QStringLiteral("ABCD"));

    std::size_t before = rig.BodyCount();
    Click(*dialog, Dlg::kIdWriteAll);
    std::vector<std::string> sent = rig.BodiesSince(before);
    QCOMPARE(sent.size(), std::size_t{32});
    QCOMPARE(sent.front(), std::string("00FF0420000000"));
    QCOMPARE(sent[3], std::string("00FF0423ABCD00"));
    QCOMPARE(sent.back(), std::string("00FF043F000000"));
    QCOMPARE(rig.virtualCamera.ReadRegister(0, sim::kAreaAfe, 0x23), (Bytes{0xAB, 0xCD, 0}));

    // The mode button refreshes nothing; the next message goes to the EEPROM.
    ClickRadio(*dialog, Dlg::kIdEeprom);
    QCOMPARE(Edit(*dialog, 1303)->text(), QStringLiteral("ABCD"));
    Type(*dialog, 1303, QStringLiteral("1234"));
    before = rig.BodyCount();
    Click(*dialog, 1403);
    QCOMPARE(rig.BodiesSince(before), std::vector<std::string>{"01FF0423123400"});
    QCOMPARE(rig.virtualCamera.ReadRegister(1, sim::kAreaAfe, 0x23), (Bytes{0x12, 0x34, 0}));
    QCOMPARE(rig.virtualCamera.ReadRegister(0, sim::kAreaAfe, 0x23), (Bytes{0xAB, 0xCD, 0}));

    rig.virtualCamera.WriteRegister(0, sim::kAreaAfe, 0x3F, {0x5A, 0x5B, 0x5C});
    rig.virtualCamera.WriteRegister(1, sim::kAreaAfe, 0x3F, {0x77, 0x66, 0x55});
    Click(*dialog, Dlg::kIdReadAll);
    QCOMPARE(Edit(*dialog, 1303)->text(), QStringLiteral("1234"));
    QCOMPARE(Edit(*dialog, 1331)->text(), QStringLiteral("7766"));
    ClickRadio(*dialog, Dlg::kIdFpga);
    before = rig.BodyCount();
    Click(*dialog, Dlg::kIdReadAll);
    QCOMPARE(rig.BodiesSince(before).front(), std::string("00FF8420000000"));
    QCOMPARE(Edit(*dialog, 1303)->text(), QStringLiteral("ABCD"));
    QCOMPARE(Edit(*dialog, 1331)->text(), QStringLiteral("5A5B"));

    // A two-digit area shows the first two reply characters.
    ClickRadio(*dialog, Dlg::kIdDsp);
    QCOMPARE(Edit(*dialog, 1303)->text(), QStringLiteral("00"));
    rig.virtualCamera.WriteRegister(0, sim::kAreaDsp, 0x25, {0x12, 0x34, 0x56});
    Click(*dialog, 1505);
    QCOMPARE(Edit(*dialog, 1305)->text(), QStringLiteral("12"));
    QVERIFY(rig.prompt.messages.empty());
  }

  void typedTextIsSentInCapitalsAsTyped() {
    AppRig rig;
    rig.StartOnCom1();
    CCommandMenuDlg* dialog = PressCtrlP(rig);
    QVERIFY(dialog != nullptr);
    ClickRadio(*dialog, Dlg::kIdCommon);
    Type(*dialog, 1200, QStringLiteral("7f"));  // outside the area's shown addresses
    Type(*dialog, 1300, QStringLiteral("be0f"));
    QCOMPARE(Edit(*dialog, 1200)->text(), QStringLiteral("7F"));
    const std::size_t before = rig.BodyCount();
    Click(*dialog, 1400);
    Click(*dialog, 1500);
    QCOMPARE(rig.BodiesSince(before),
             (std::vector<std::string>{"00FF017FBE0F00", "00FF817F000000"}));
    QCOMPARE(Edit(*dialog, 1300)->text(), QStringLiteral("BE0F"));
  }

  void blankRowsAndBadInputStopThePageWithTheirMessage() {
    AppRig rig;
    rig.StartOnCom1();
    CCommandMenuDlg* dialog = PressCtrlP(rig);
    QVERIFY(dialog != nullptr);
    ClickRadio(*dialog, Dlg::kIdCommon);
    ClickRadio(*dialog, 1116);  // 60-7F
    QCOMPARE(Edit(*dialog, 1230)->text(), QStringLiteral("7E"));
    QCOMPARE(Edit(*dialog, 1231)->text(), QString());
    QCOMPARE(Edit(*dialog, 1331)->text(), QString());

    std::size_t before = rig.BodyCount();
    Click(*dialog, Dlg::kIdReadAll);
    auto sent = rig.BodiesSince(before);
    QCOMPARE(sent.size(), std::size_t{31});
    QCOMPARE(sent.back(), std::string("00FF817E000000"));
    QCOMPARE(rig.prompt.MessageTexts(), std::vector<std::string>{kAddressError});
    const tavrel::MessageRequest& box = rig.prompt.messages.back();
    QCOMPARE(box.caption, std::string(" TAVREL CONTROL"));
    QCOMPARE(box.icon, MessageIcon::kExclamation);
    QCOMPARE(box.buttons, tavrel::MessageButtons::kOk);

    // Pages past the area's end are blank: the page buttons send nothing.
    for (const int area : {Dlg::kIdCommon, Dlg::kIdInfo}) {
      ClickRadio(*dialog, area);
      ClickRadio(*dialog, 1117);  // 80-9F
      QCOMPARE(Fields(*dialog, 1200), QStringList(32));
      rig.prompt.messages.clear();
      before = rig.BodyCount();
      Click(*dialog, Dlg::kIdWriteAll);
      Click(*dialog, Dlg::kIdReadAll);
      QCOMPARE(rig.BodyCount(), before);
      QCOMPARE(rig.prompt.MessageTexts(), std::vector<std::string>(2, kAddressError));
    }

    // A bad data field ends a page write at its row.
    ClickRadio(*dialog, Dlg::kIdAfe);
    ClickRadio(*dialog, 1113);
    Type(*dialog, 1302, QStringLiteral("ABC"));
    rig.prompt.messages.clear();
    before = rig.BodyCount();
    Click(*dialog, Dlg::kIdWriteAll);
    QCOMPARE(rig.BodiesSince(before).size(), std::size_t{2});
    Click(*dialog, 1402);
    QCOMPARE(rig.BodiesSince(before).size(), std::size_t{2});
    QCOMPARE(rig.prompt.MessageTexts(), std::vector<std::string>(2, kDataError));
    // Reading the same page does not check data.
    Click(*dialog, Dlg::kIdReadAll);
    QCOMPARE(rig.BodiesSince(before).size(), std::size_t{34});
  }

  void aRefusingCameraGivesOneBoxPerRowAndTheLoopGoesOn() {
    AppRig rig;
    rig.StartOnCom1();
    CCommandMenuDlg* dialog = PressCtrlP(rig);
    QVERIFY(dialog != nullptr);
    Type(*dialog, 1307, QStringLiteral("99"));
    rig.virtualCamera.AddFault({sim::FaultKind::kEnqNak, -1, 0});
    Click(*dialog, Dlg::kIdReadAll);
    QCOMPARE(rig.prompt.MessageTexts(), std::vector<std::string>(32, kLinkError));
    QCOMPARE(Edit(*dialog, 1307)->text(), QStringLiteral("99"));
    Click(*dialog, Dlg::kIdWriteAll);
    QCOMPARE(rig.prompt.messages.size(), std::size_t{64});
  }

  // A reply garbled past the digits a row shows is no value: the row keeps
  // its text and the box names code 24, for one row and for the page.
  void aGarbledReplyIsAnErrorAndLeavesTheRow() {
    AppRig rig;
    rig.StartOnCom1();
    CCommandMenuDlg* dialog = PressCtrlP(rig);
    QVERIFY(dialog != nullptr);
    ClickRadio(*dialog, Dlg::kIdDsp);
    rig.virtualCamera.WriteRegister(0, sim::kAreaDsp, 0x05, {0xAB, 0, 0});
    Type(*dialog, 1305, QStringLiteral("99"));
    rig.virtualCamera.AddFault({sim::FaultKind::kNulValue, 1, 0});
    Click(*dialog, 1505);
    QCOMPARE(Edit(*dialog, 1305)->text(), QStringLiteral("99"));
    const std::string code24 =
        "ERROR - Invalid character type found in received data from camera unit.";
    QCOMPARE(rig.prompt.MessageTexts(), std::vector<std::string>{code24});

    rig.virtualCamera.AddFault({sim::FaultKind::kBadValue, 1, 5});
    Click(*dialog, Dlg::kIdReadAll);
    QCOMPARE(Edit(*dialog, 1305)->text(), QStringLiteral("99"));
    QCOMPARE(Edit(*dialog, 1304)->text(), QStringLiteral("00"));
    QCOMPARE(rig.prompt.MessageTexts(), std::vector<std::string>(2, code24));
    Click(*dialog, 1505);
    QCOMPARE(Edit(*dialog, 1305)->text(), QStringLiteral("AB"));
  }

  void commandMenuAgainFocusesTheEditorAndAfterClosingBuildsAFreshOne() {
    AppRig rig;
    rig.StartOnCom1();
    const std::size_t before = rig.BodyCount();
    QPointer<CCommandMenuDlg> first = PressCtrlP(rig);
    QVERIFY(first != nullptr);
    QTRY_COMPARE(QApplication::activeWindow(), first.data());
    ClickRadio(*first, Dlg::kIdAfe);
    ClickRadio(*first, Dlg::kIdEeprom);

    QCOMPARE(PressCtrlP(rig), first.data());
    QTRY_COMPARE(QApplication::activeWindow(), first.data());
    QVERIFY(first->isVisible());
    QVERIFY(FindControlAs<QRadioButton>(first, Dlg::kIdAfe)->isChecked());
    QCOMPARE(rig.BodiesSince(before), std::vector<std::string>(2, kAccessBody));

    QTest::keyClick(first, Qt::Key_Escape);
    QVERIFY(!first->isVisible());
    QVERIFY(first != nullptr);  // closing only hides it
    CCommandMenuDlg* fresh = PressCtrlP(rig);
    QVERIFY(first.isNull());
    QVERIFY(fresh != nullptr);
    QVERIFY(fresh->isVisible());
    QVERIFY(FindControlAs<QRadioButton>(fresh, Dlg::kIdTg)->isChecked());
    QVERIFY(FindControlAs<QRadioButton>(fresh, Dlg::kIdFpga)->isChecked());
    QCOMPARE(Edit(*fresh, 1231)->text(), QStringLiteral("1F"));
    QCOMPARE(rig.BodiesSince(before), std::vector<std::string>(3, kAccessBody));

    // Enter in a field closes it too.
    QTest::keyClick(Edit(*fresh, 1205), Qt::Key_Return);
    QVERIFY(!fresh->isVisible());
    QVERIFY(rig.prompt.messages.empty());
  }

  void aFailedAccessWriteAddsTheSerialNumberBox() {
    AppRig rig;
    rig.StartOnCom1();
    rig.virtualCamera.AddFault({sim::FaultKind::kEnqNak, -1, 0});
    CCommandMenuDlg* dialog = PressCtrlP(rig);
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isVisible());
    QCOMPARE(rig.prompt.MessageTexts(),
             (std::vector<std::string>{
                 kLinkError,
                 "This camera is not written the Serial Number.\nPlease tell design engineer."}));
    const tavrel::MessageRequest& box = rig.prompt.messages.back();
    QCOMPARE(box.caption, std::string("TAVREL"));
    QCOMPARE(box.icon, MessageIcon::kNone);
    QCOMPARE(box.buttons, tavrel::MessageButtons::kOk);
    QVERIFY(box.ownerless);
  }
};

QTEST_MAIN(CommandMenuTest)
#include "command_menu_test.moc"
