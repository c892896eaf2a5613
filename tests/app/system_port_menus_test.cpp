// The COM buttons' menus with Windows' own ports, as the registry and the
// device manager list them (a fixed list here): an adapter on COM12 is
// assigned to the COM1 button with two clicks and kept by its long name.
// Runs on Linux and, built for Windows, under Wine.
#include <QAbstractButton>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/select_comm_dlg.h"
#include "app/serial_port_dlg.h"
#include "model/com_port_directory.h"
#include "model/profile_file.h"
#include "serial/system_ports.h"
#include "tests/app/scripted_file_chooser.h"
#include "ui/dialog_layout.h"

using tavrel::ComPortDirectory;
using tavrel::CSelectCommDlg;
using tavrel::CSerialPortDlg;
using tavrel::ui::FindControlAs;

namespace {

std::vector<tavrel::SerialDevice> WindowsPorts(const tavrel::SystemRoots&) {
  return tavrel::DescribeSystemPorts(
      {{"\\Device\\VCP0", "COM12"},
       {"\\Device\\Serial0", "COM1"},
       {"\\Device\\Serial1", "COM10"},
       {"\\Device\\Serial2", "COM9"}},
      {{"COM12", "USB Serial Port (COM12)", "FTDIBUS\\COMPORT&VID_0403&PID_6001",
        "FTDIBUS\\VID_0403+PID_6001+A1B2C3A\\0000", "FTDIBUS"}});
}

QStringList MenuTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    texts << (action->isSeparator() && action->text().isEmpty() ? QStringLiteral("-")
                                                                : action->text());
  }
  return texts;
}

QAction* ActionNamed(const QMenu* menu, const QString& start) {
  for (QAction* action : menu->actions()) {
    if (action->text().startsWith(start)) return action;
  }
  return nullptr;
}

}  // namespace

class SystemPortMenusTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_folder;
  std::unique_ptr<ComPortDirectory> m_directory;
  std::string Profile() const { return (m_folder.path() + "/profile.ini").toStdString(); }
  std::string Assigned(int port) const {
    return tavrel::ReadProfileString(Profile(), "COM Ports", "COM" + std::to_string(port))
        .value_or("");
  }

 private slots:
  void init() {
    QVERIFY(m_folder.isValid());
    m_directory = std::make_unique<ComPortDirectory>(
        Profile(), tavrel::SystemRoots{},
        [](const std::string&) -> std::optional<std::string> { return std::nullopt; },
        WindowsPorts);
  }
  void cleanup() { m_directory.reset(); }

  void rightClickThenCom12() {
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg dialog(files);
    dialog.OfferComPortMenus({m_directory.get(), [](QDialog& box) {
                                box.reject();
                                return box.result();
                              }});
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* com1 = FindControlAs<QAbstractButton>(&dialog, CSelectCommDlg::kIdFirstCom);
    const QString byDefault = QString::fromStdString(tavrel::DefaultComPortDevicePath(1));
    QCOMPARE(com1->toolTip().section('\n', 0, 0),
             QStringLiteral("COM1: %1 (default)").arg(byDefault));

    QTest::mouseClick(dialog.windowHandle(), Qt::RightButton, {},
                      com1->mapTo(&dialog, com1->rect().center()));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    // In number order, the adapter by the name the user knows it by.
    QCOMPARE(MenuTexts(menu),
             (QStringList{
                 QStringLiteral("COM1: %1").arg(byDefault), "COM1  (Serial0)", "COM9  (Serial2)",
                 "COM10  (Serial1)", "COM12  USB Serial Port (0403:6001)", "-",
                 QStringLiteral("Other device…"), QStringLiteral("Default (%1)").arg(byDefault)}));
    QAction* adapter = ActionNamed(menu, "COM12");
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(adapter).center());
    QVERIFY(QApplication::activePopupWidget() == nullptr);
    QCOMPARE(Assigned(1), std::string("\\\\.\\COM12"));
    QVERIFY(com1->toolTip().startsWith(QStringLiteral("COM1: \\\\.\\COM12 (chosen)")));

    // The Serial Port dialog's COM1 button says the same, and its menu ticks
    // the choice.
    CSerialPortDlg serial(1, 9600);
    serial.OfferComPortMenus({m_directory.get(), {}});
    serial.setWindowModality(Qt::ApplicationModal);
    serial.show();
    QVERIFY(QTest::qWaitForWindowActive(&serial));
    auto* serialCom1 = FindControlAs<QAbstractButton>(&serial, CSerialPortDlg::kIdCom1);
    QCOMPARE(serialCom1->toolTip(), com1->toolTip());
    serialCom1->setFocus();
    QTest::keyClick(serialCom1, Qt::Key_F10, Qt::ShiftModifier);
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QVERIFY(ActionNamed(menu, "COM12")->isChecked());
    QVERIFY(!ActionNamed(menu, "Default")->isChecked());
    QTest::keyClick(menu, Qt::Key_Escape);
  }
};

QTEST_MAIN(SystemPortMenusTest)
#include "system_port_menus_test.moc"
