// The link set-up dialogs: control enabling, radio-group fields, the camera
// type each row sets, Browse, and the serial port dialog's choices.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QtTest>

#include "app/select_comm_dlg.h"
#include "app/serial_port_dlg.h"
#include "model/parameter_table.h"
#include "tests/app/scripted_file_chooser.h"
#include "ui/dialog_layout.h"

using tavrel::CSelectCommDlg;
using tavrel::CSerialPortDlg;
using tavrel::ui::FindControl;
using tavrel::ui::FindControlAs;

namespace {

void Click(QWidget* dialog, int id) {
  auto* button = FindControlAs<QAbstractButton>(dialog, id);
  QVERIFY2(button != nullptr, qPrintable(QString::number(id)));
  QVERIFY2(button->isEnabled(), qPrintable(QString::number(id)));
  QTest::mouseClick(button, Qt::LeftButton);
}

bool Enabled(QWidget* dialog, int id) {
  return FindControl(dialog, id)->isEnabled();
}

}  // namespace

class CommDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { tavrel::cameraType = 0; }

  void everyControlHasItsIdentifierAndText() {
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg dialog(files);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Communication System"));
    const QList<QPair<int, QString>> controls{
        {1119, "COM 1"},
        {1127, "COM 9"},
        {1128, "COM10"},
        {1106, "Eeuresys"},
        {1107, "Matrox"},
        {1108, "Other Factory"},
        {2110, "Browse"},
        {1132, " 9600"},
        {1133, "19200"},
        {1134, "38400"},
        {1111, "OPEN"},
        {1112, "CANCEL"},
        {1131, "Select Board Maker"},
        {1113, ".dll"},
        {1118, "RS-232C Setting"},
        {1130, "Baud Rate"},
        {1117, "Open Port"},
        {1139, "KESTRA-P/S"},
        {1145, "TEMBRA-P/S"},
    };
    for (const auto& [id, text] : controls) {
      QWidget* control = FindControl(&dialog, id);
      QVERIFY2(control != nullptr, qPrintable(text));
      QCOMPARE(control->accessibleName(), text);
    }
    QVERIFY(FindControl(&dialog, 1109) != nullptr);
  }

  // Each group box's frame runs around the controls it names, not through
  // them (a button that ends below its box is crossed by the frame line).
  void everyGroupBoxEnclosesItsControls_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QList<int>>("controls");
    QTest::newRow("Open Port") << "Open Port" << QList<int>{1119, 1120, 1121, 1122, 1123,
                                                            1124, 1125, 1126, 1127, 1128};
    QTest::newRow("Baud Rate") << "Baud Rate" << QList<int>{1132, 1133, 1134};
    QTest::newRow("RS-232C Setting") << "RS-232C Setting" << QList<int>{1117, 1130};
    QTest::newRow("Select Board Maker") << "Select Board Maker" << QList<int>{1106, 1107, 1108};
    QTest::newRow("CameraLink Board") << "CameraLink Board" << QList<int>{1131, 1109, 1113, 2110};
    QTest::newRow("SELECT CAMERA TYPE")
        << "SELECT CAMERA TYPE" << QList<int>{1139, 1140, 1141, 1142, 1143, 1144, 1145};
  }
  void everyGroupBoxEnclosesItsControls() {
    QFETCH(QString, box);
    QFETCH(QList<int>, controls);
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg dialog(files);
    const QGroupBox* frame = nullptr;
    for (const QGroupBox* candidate : dialog.findChildren<QGroupBox*>()) {
      if (candidate->title() == box) frame = candidate;
    }
    QVERIFY(frame != nullptr);
    for (const int id : controls) {
      const QWidget* control = FindControl(&dialog, id);
      QVERIFY2(control != nullptr, qPrintable(QString::number(id)));
      QVERIFY2(frame->geometry().contains(control->geometry()),
               qPrintable(QStringLiteral("%1 reaches out of %2").arg(id).arg(box)));
    }
  }

  void opensOnCom1At9600WithTheFirstRowAndType4() {
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg dialog(files);
    QCOMPARE(tavrel::cameraType, 4);
    QVERIFY(Enabled(&dialog, 1132));
    QVERIFY(!Enabled(&dialog, 1109));
    QVERIFY(!Enabled(&dialog, 1113));
    QVERIFY(!Enabled(&dialog, 2110));
    Click(&dialog, 1111);
    const auto selection = dialog.Selection();
    QVERIFY(selection.opened);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(selection.linkKind, 0);
    QCOMPARE(selection.portChoice, 0);
    QCOMPARE(selection.baudChoice, 0);
    QCOMPARE(selection.cameraRow, 0);
  }

  void clicksEnableTheirControlsAndSetTheLinkKind_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("linkKind");
    QTest::addColumn<int>("portChoice");
    QTest::addColumn<bool>("baudEnabled");
    QTest::addColumn<bool>("libraryEnabled");
    QTest::newRow("COM5") << 1123 << 0 << 4 << true << false;
    QTest::newRow("Eeuresys") << 1106 << 1 << 10 << false << false;
    QTest::newRow("Matrox") << 1107 << 1 << 11 << false << false;
    QTest::newRow("Other Factory") << 1108 << 1 << 12 << false << true;
  }
  void clicksEnableTheirControlsAndSetTheLinkKind() {
    QFETCH(int, button);
    QFETCH(int, linkKind);
    QFETCH(int, portChoice);
    QFETCH(bool, baudEnabled);
    QFETCH(bool, libraryEnabled);
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg dialog(files);
    Click(&dialog, 1108);  // start from the other state of the library controls
    Click(&dialog, 1119);
    Click(&dialog, button);
    for (int id : {1132, 1133, 1134, 1130}) QCOMPARE(Enabled(&dialog, id), baudEnabled);
    for (int id : {1109, 1113, 2110}) QCOMPARE(Enabled(&dialog, id), libraryEnabled);
    Click(&dialog, 1111);
    QCOMPARE(dialog.Selection().linkKind, linkKind);
    QCOMPARE(dialog.Selection().portChoice, portChoice);
  }

  void otherFactoryTakesTheTypedPath() {
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg dialog(files);
    Click(&dialog, 1108);
    auto* edit = FindControlAs<QLineEdit>(&dialog, 1109);
    QTest::keyClicks(edit, "/opt/board/libclserx.so");
    Click(&dialog, 1111);
    QCOMPARE(dialog.Selection().portChoice, 12);
    QCOMPARE(dialog.Selection().dllPath, std::string("/opt/board/libclserx.so"));
  }

  void browseReloadsTheControlsFromTheFields() {
    tavrel::testing::ScriptedFileChooser files;
    files.answers.push_back(QStringLiteral("/opt/board/libchosen.so"));
    CSelectCommDlg dialog(files);
    Click(&dialog, 1108);
    Click(&dialog, 2110);
    QCOMPARE(files.requests.size(), std::size_t{1});
    QCOMPARE(files.requests[0].title, QStringLiteral("OPEN DLL FILE"));
    QCOMPARE(files.requests[0].filters, QStringList({"dll file (*.dll)", "all file (*.*)"}));
    QCOMPARE(files.requests[0].defaultSuffix, QStringLiteral("dll"));
    // Group A shows the stored choice again: COM 1.
    QVERIFY(FindControlAs<QAbstractButton>(&dialog, 1119)->isChecked());
    QVERIFY(!FindControlAs<QAbstractButton>(&dialog, 1108)->isChecked());
    QCOMPARE(FindControlAs<QLineEdit>(&dialog, 1109)->text(),
             QStringLiteral("/opt/board/libchosen.so"));
    Click(&dialog, 1111);
    const auto selection = dialog.Selection();
    QCOMPARE(selection.portChoice, 0);
    QCOMPARE(selection.linkKind, 1);
    QCOMPARE(selection.dllPath, std::string("/opt/board/libchosen.so"));
  }

  void cancelledBrowseKeepsThePath() {
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg dialog(files);
    Click(&dialog, 1108);
    QTest::keyClicks(FindControlAs<QLineEdit>(&dialog, 1109), "typed");
    Click(&dialog, 2110);  // cancelled: the unstored typing is replaced by the field
    QCOMPARE(FindControlAs<QLineEdit>(&dialog, 1109)->text(), QString());
  }

  void cameraRowClicksSetTheTypeAtOnce() {
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg dialog(files);
    const int types[] = {4, 0, 1, 5, 3, 2, 6};
    for (int row = 6; row >= 0; --row) {
      Click(&dialog, 1139 + row);
      QCOMPARE(tavrel::cameraType, types[row]);
    }
    Click(&dialog, 1141);
    Click(&dialog, 1112);
    QVERIFY(!dialog.Selection().opened);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(tavrel::cameraType, 1);
  }

  void enterOpensAndEscapeCancels() {
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg entered(files);
    Click(&entered, 1125);
    entered.accept();
    QVERIFY(entered.Selection().opened);
    QCOMPARE(entered.Selection().portChoice, 6);

    CSelectCommDlg escaped(files);
    escaped.reject();
    QVERIFY(!escaped.Selection().opened);
    QCOMPARE(escaped.result(), int(QDialog::Rejected));
  }

  void serialPortDialogShowsOnlyCom1Com2And9600_19200_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("shownPort");
    QTest::addColumn<int>("shownBaud");
    QTest::newRow("COM5 at 38400") << 5 << 38400 << 1100 << 1102;
    QTest::newRow("COM2 at 19200") << 2 << 19200 << 1101 << 1103;
    QTest::newRow("board") << 0 << 0 << 1100 << 1102;
  }
  void serialPortDialogShowsOnlyCom1Com2And9600_19200() {
    QFETCH(int, port);
    QFETCH(int, baud);
    QFETCH(int, shownPort);
    QFETCH(int, shownBaud);
    CSerialPortDlg dialog(port, baud);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Serial Port Selection"));
    QVERIFY(FindControlAs<QAbstractButton>(&dialog, shownPort)->isChecked());
    QVERIFY(FindControlAs<QAbstractButton>(&dialog, shownBaud)->isChecked());
    QVERIFY(!Enabled(&dialog, 1102));
    QVERIFY(!Enabled(&dialog, 1103));
    Click(&dialog, 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Choice().port, shownPort == 1101 ? 2 : 1);
    QCOMPARE(dialog.Choice().baud, shownBaud == 1103 ? 19200 : 9600);
  }

  void serialPortDialogChoosesCom2() {
    CSerialPortDlg dialog(1, 9600);
    Click(&dialog, 1101);
    Click(&dialog, 1);
    QCOMPARE(dialog.Choice().port, 2);
    QCOMPARE(dialog.Choice().baud, 9600);
  }
};

QTEST_MAIN(CommDialogsTest)
#include "comm_dialogs_test.moc"
