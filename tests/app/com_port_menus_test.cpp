// The COM buttons of the link dialogs: a tooltip that names each one's
// device, and a context menu (right mouse button, Menu key, Shift+F10) that
// assigns one of the devices found, another one typed in, or the default.
// The devices come from a fake sysfs tree; the choices go to a private
// profile. Menus open without blocking; the prompt is driven by keys.
#include <QAbstractButton>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>
#include <map>
#include <memory>

#include "app/other_device_dlg.h"
#include "app/select_comm_dlg.h"
#include "app/serial_port_dlg.h"
#include "model/com_port_directory.h"
#include "model/profile_file.h"
#include "tests/app/scripted_file_chooser.h"
#include "tests/support/fake_system_tree.h"
#include "tests/support/temp_folder.h"
#include "ui/dialog_layout.h"

using tavrel::ComPortDirectory;
using tavrel::ComPortMenuServices;
using tavrel::CSelectCommDlg;
using tavrel::CSerialPortDlg;
using tavrel::DialogRunner;
using tavrel::ui::FindControlAs;

namespace {

constexpr char kById[] = "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
const QString kHowToChoose =
    QStringLiteral("\nRight-click, the Menu key or Shift+F10 chooses another device.");

bool ShowModal(QDialog& dialog) {
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.show();
  return QTest::qWaitForWindowActive(&dialog);
}

// Every control's identifier, text and place.
QStringList Layout(const QWidget& dialog) {
  QStringList controls;
  for (const QWidget* control : dialog.findChildren<QWidget*>()) {
    const auto* button = qobject_cast<const QAbstractButton*>(control);
    controls << QStringLiteral("%1 %2 \"%3\" %4,%5 %6x%7")
                    .arg(control->objectName(), control->accessibleName(),
                         button != nullptr ? button->text() : QString())
                    .arg(control->x())
                    .arg(control->y())
                    .arg(control->width())
                    .arg(control->height());
  }
  return controls;
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

class ComPortMenusTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<tavrel::testing::TempFolder> m_folder;
  std::unique_ptr<tavrel::testing::FakeSystemTree> m_tree;
  std::unique_ptr<ComPortDirectory> m_directory;
  std::map<std::string, std::string> m_environment;
  // Runs the "Other device…" prompt (and any box) the test's way.
  DialogRunner m_runner;
  std::string Profile() const { return m_folder->File("profile.ini"); }
  std::string Assigned(int port) const {
    return tavrel::ReadProfileString(Profile(), "COM Ports", "COM" + std::to_string(port))
        .value_or("");
  }
  std::string ById() const { return m_tree->Dev(std::string("serial/by-id/") + kById); }
  ComPortMenuServices Services() {
    return {m_directory.get(), [this](QDialog& dialog) { return m_runner(dialog); }};
  }

 private slots:
  void init() {
    m_folder = std::make_unique<tavrel::testing::TempFolder>("tavrel-com-menus");
    m_tree = std::make_unique<tavrel::testing::FakeSystemTree>(m_folder->Path());
    m_tree->AddUsbAdapter(
        {"ttyUSB0", "ftdi_sio", "0403", "6001", "A1B2C3", "FTDI", "FT232R USB UART", kById, 2});
    m_tree->AddUart("ttyS0", "00:01", "4");
    m_environment = {{"TAVREL_COM2", "/tmp/camera"}};
    m_directory = std::make_unique<ComPortDirectory>(
        Profile(), m_tree->Roots(), [this](const std::string& name) -> std::optional<std::string> {
          const auto it = m_environment.find(name);
          if (it == m_environment.end()) return std::nullopt;
          return it->second;
        });
    m_runner = [](QDialog& dialog) {
      dialog.reject();
      return dialog.result();
    };
  }
  void cleanup() {
    m_directory.reset();
    m_tree.reset();
    m_folder.reset();
  }

  // The menus add tooltips and nothing else: every control keeps its
  // identifier, text, name and place.
  void noControlMovesOrChanges() {
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg plain(files);
    CSelectCommDlg offered(files);
    offered.OfferComPortMenus(Services());
    QCOMPARE(Layout(offered), Layout(plain));
    CSerialPortDlg plainPort(1, 9600);
    CSerialPortDlg offeredPort(1, 9600);
    offeredPort.OfferComPortMenus(Services());
    QCOMPARE(Layout(offeredPort), Layout(plainPort));
  }

  void tooltipsNameEachButtonsDevice() {
    QCOMPARE(m_directory->Assign(3, ById()), std::string());
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg dialog(files);
    dialog.OfferComPortMenus(Services());
    const QList<QPair<int, QString>> tips{
        {1, QStringLiteral("COM1: /dev/ttyS0 (default)") + kHowToChoose},
        {2, QStringLiteral("COM2: /tmp/camera (from TAVREL_COM2)") + kHowToChoose},
        {3, QStringLiteral("COM3: %1 (chosen)\nnow %2")
                    .arg(QString::fromStdString(ById()),
                         QString::fromStdString(m_tree->Dev("ttyUSB0"))) +
                kHowToChoose},
        {10, QStringLiteral("COM10: /dev/ttyS9 (default)") + kHowToChoose},
    };
    for (const auto& [port, tip] : tips) {
      auto* button =
          FindControlAs<QAbstractButton>(&dialog, CSelectCommDlg::kIdFirstCom + port - 1);
      QCOMPARE(button->toolTip(), tip);
    }
    CSerialPortDlg serial(2, 9600);
    serial.OfferComPortMenus(Services());
    QCOMPARE(FindControlAs<QAbstractButton>(&serial, CSerialPortDlg::kIdCom1)->toolTip(),
             tips[0].second);
  }

  // The right mouse button on "COM 5" offers the devices found, the adapter
  // by its stable name; choosing it keeps it for COM5 and selects nothing.
  void rightClickAssignsADeviceFound() {
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg dialog(files);
    dialog.OfferComPortMenus(Services());
    QVERIFY(ShowModal(dialog));
    auto* com5 = FindControlAs<QAbstractButton>(&dialog, CSelectCommDlg::kIdFirstCom + 4);
    QTest::mouseClick(dialog.windowHandle(), Qt::RightButton, {},
                      com5->mapTo(&dialog, com5->rect().center()));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QCOMPARE(MenuTexts(menu),
             (QStringList{"COM5: /dev/ttyS4", "ttyUSB0  FTDI FT232R USB UART (0403:6001)",
                          "ttyS0  (serial)", "-", QStringLiteral("Other device…"),
                          "Default (/dev/ttyS4)"}));
    QVERIFY(ActionNamed(menu, "Default")->isChecked());
    QAction* adapter = ActionNamed(menu, "ttyUSB0");
    QCOMPARE(adapter->toolTip(), QString::fromStdString(ById()));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(adapter).center());
    QVERIFY(QApplication::activePopupWidget() == nullptr);
    QCOMPARE(Assigned(5), ById());
    QVERIFY(com5->toolTip().startsWith(
        QStringLiteral("COM5: %1 (chosen)").arg(QString::fromStdString(ById()))));
    QVERIFY(!com5->isChecked());
    QCOMPARE(dialog.Selection().portChoice, 0);

    // Shown again, the menu ticks the choice.
    QTest::mouseClick(dialog.windowHandle(), Qt::RightButton, {},
                      com5->mapTo(&dialog, com5->rect().center()));
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QVERIFY(ActionNamed(menu, "ttyUSB0")->isChecked());
    QVERIFY(!ActionNamed(menu, "Default")->isChecked());
    // Its title names the long path whole: the styles draw a section's title
    // 5 pixels in from either side of its item.
    QAction* title = menu->actions().constFirst();
    QVERIFY(title->isSeparator());
    QCOMPARE(title->text(), QStringLiteral("COM5: %1").arg(QString::fromStdString(ById())));
    QVERIFY2(menu->actionGeometry(title).width() >=
                 menu->fontMetrics().horizontalAdvance(title->text()) + 10,
             qPrintable(QStringLiteral("%1 pixels for %2")
                            .arg(menu->actionGeometry(title).width())
                            .arg(menu->fontMetrics().horizontalAdvance(title->text()))));
    QTest::keyClick(menu, Qt::Key_Escape);
    QVERIFY(QApplication::activePopupWidget() == nullptr);
    QCOMPARE(Assigned(5), ById());
  }

  // The Menu key on the focused "COM 1" opens the menu; "Other device…"
  // asks for a path, typed and taken with Enter.
  void menuKeyAndAnotherDeviceTypedIn() {
    tavrel::testing::ScriptedFileChooser files;
    CSelectCommDlg dialog(files);
    QString asked;
    m_runner = [&asked](QDialog& prompt) {
      if (!ShowModal(prompt)) return -1;
      asked = prompt.windowTitle();
      auto* path = static_cast<tavrel::COtherDeviceDlg&>(prompt).PathEdit();
      QTest::keyClick(path, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(path, QStringLiteral("/dev/ttyACM3"));
      QTest::keyClick(path, Qt::Key_Return);
      return prompt.result();
    };
    dialog.OfferComPortMenus(Services());
    QVERIFY(ShowModal(dialog));
    auto* com1 = FindControlAs<QAbstractButton>(&dialog, CSelectCommDlg::kIdFirstCom);
    com1->setFocus();
    QTest::keyClick(com1, Qt::Key_Menu);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QTest::keyClick(menu, Qt::Key_Up);  // the last item, "Default"
    QTest::keyClick(menu, Qt::Key_Up);
    QCOMPARE(menu->activeAction()->text(), QStringLiteral("Other device…"));
    QTest::keyClick(menu, Qt::Key_Return);
    QCOMPARE(asked, QStringLiteral("Device for COM1"));
    QCOMPARE(Assigned(1), std::string("/dev/ttyACM3"));
    QCOMPARE(com1->toolTip(), QStringLiteral("COM1: /dev/ttyACM3 (chosen)") + kHowToChoose);
  }

  // Shift+F10 on the Serial Port dialog's "COM2" (which the environment
  // leads elsewhere, as the menu says); "Default" takes the choice out.
  void shiftF10AndTheDefault() {
    QCOMPARE(m_directory->Assign(2, ById()), std::string());
    CSerialPortDlg dialog(1, 9600);
    dialog.OfferComPortMenus(Services());
    QVERIFY(ShowModal(dialog));
    auto* com2 = FindControlAs<QAbstractButton>(&dialog, CSerialPortDlg::kIdCom2);
    com2->setFocus();
    QTest::keyClick(com2, Qt::Key_F10, Qt::ShiftModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QAction* note = ActionNamed(menu, "TAVREL_COM2 is set");
    QVERIFY(note != nullptr);
    QVERIFY(!note->isEnabled());
    QTest::keyClick(menu, Qt::Key_Up);
    QCOMPARE(menu->activeAction()->text(), QStringLiteral("Default (/dev/ttyS1)"));
    QTest::keyClick(menu, Qt::Key_Return);
    QCOMPARE(Assigned(2), std::string());
    QVERIFY(!com2->isChecked());
    QVERIFY(FindControlAs<QAbstractButton>(&dialog, CSerialPortDlg::kIdCom1)->isChecked());
  }

  // A cancelled prompt changes nothing.
  void cancelledPromptKeepsTheChoice() {
    QCOMPARE(m_directory->Assign(1, ById()), std::string());
    QString asked;
    m_runner = [&asked](QDialog& prompt) {
      asked = prompt.windowTitle();
      prompt.reject();
      return prompt.result();
    };
    CSerialPortDlg dialog(1, 9600);
    dialog.OfferComPortMenus(Services());
    QVERIFY(ShowModal(dialog));
    auto* com1 = FindControlAs<QAbstractButton>(&dialog, CSerialPortDlg::kIdCom1);
    QTest::keyClick(com1, Qt::Key_Menu);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, {},
                      menu->actionGeometry(ActionNamed(menu, "Other device")).center());
    QCOMPARE(asked, QStringLiteral("Device for COM1"));
    QCOMPARE(Assigned(1), ById());
  }
};

QTEST_MAIN(ComPortMenusTest)
#include "com_port_menus_test.moc"
