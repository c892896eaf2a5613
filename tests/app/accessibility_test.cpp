// Every window of the program through its accessible interfaces, which the
// desktop's screen-reader bridge reads: the main window with the panel and
// its menus, Select Communication System, Serial Port Selection, Manual
// Command and the register editor. Controls are named as they are spoken,
// radio buttons are radio buttons in their group, and what an assistive
// tool does to a control goes the way the user's click goes.
#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QtTest>
#include <memory>

#include "app/command_menu_dlg.h"
#include "app/manual_command_dlg.h"
#include "app/select_comm_dlg.h"
#include "app/serial_port_dlg.h"
#include "panel/panel_ids.h"
#include "tests/app/app_rig.h"
#include "tests/app/scripted_file_chooser.h"
#include "ui/dialog_layout.h"

using namespace tavrel;
using tavrel::testing::AppRig;

namespace {

const QString kMainWindow = QStringLiteral("main window");
const QString kSelectComm = QStringLiteral("Select Communication System");
const QString kSerialPort = QStringLiteral("Serial Port Selection");
const QString kManualCommand = QStringLiteral("Manual Command");
const QString kCommandMenu = QStringLiteral("Command Menu");

QAccessibleInterface* Of(QObject* object) {
  return QAccessible::queryAccessibleInterface(object);
}

// The interface and every one below it, as a screen reader walks them.
QList<QAccessibleInterface*> Tree(QAccessibleInterface* root) {
  QList<QAccessibleInterface*> nodes{root};
  for (qsizetype i = 0; i < nodes.size(); ++i) {
    for (int c = 0; c < nodes[i]->childCount(); ++c) {
      if (QAccessibleInterface* child = nodes[i]->child(c)) nodes << child;
    }
  }
  return nodes;
}

bool IsInteractive(QAccessibleInterface* node) {
  switch (node->role()) {
    case QAccessible::Button:
    case QAccessible::RadioButton:
    case QAccessible::CheckBox:
    case QAccessible::ButtonMenu:
    case QAccessible::MenuItem:
    case QAccessible::ScrollBar:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
      return true;
    default:
      return node->state().focusable;
  }
}

QString Describe(QAccessibleInterface* node) {
  return QStringLiteral("role %1 '%2' (%3)")
      .arg(node->role())
      .arg(node->text(QAccessible::Name), node->object()->objectName());
}

// The names of what labels the control, in order.
QStringList Labels(QAccessibleInterface* node) {
  QStringList names;
  for (const auto& [label, relation] : node->relations(QAccessible::Label)) {
    names << label->text(QAccessible::Name);
  }
  return names;
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

  std::unique_ptr<AppRig> rig;
  testing::ScriptedFileChooser files;
  std::unique_ptr<CSelectCommDlg> selectComm;
  std::unique_ptr<CSerialPortDlg> serialPort;
  std::unique_ptr<CManualCommandDlg> manualCommand;
  std::unique_ptr<CCommandMenuDlg> commandMenu;

  QWidget* Window(const QString& name) const {
    if (name == kMainWindow) return &rig->Frame();
    if (name == kSelectComm) return selectComm.get();
    if (name == kSerialPort) return serialPort.get();
    if (name == kManualCommand) return manualCommand.get();
    return commandMenu.get();
  }
  QWidget* Control(const QString& window, int id) const {
    QWidget* control = ui::FindControl(Window(window), id);
    if (control == nullptr) qFatal("no control %d in %s", id, qPrintable(window));
    return control;
  }
  static void AddWindowRows() {
    QTest::addColumn<QString>("window");
    for (const QString& name :
         {kMainWindow, kSelectComm, kSerialPort, kManualCommand, kCommandMenu}) {
      QTest::newRow(qPrintable(name)) << name;
    }
  }

 private slots:
  void initTestCase() {
    rig = std::make_unique<AppRig>();
    // Under the service name the Interface menu holds every tool.
    rig->executableName = QStringLiteral("Marbleton service mode");
    QCOMPARE(rig->StartOnCom1(), CTavrelApp::StartResult::kRunning);
    selectComm = std::make_unique<CSelectCommDlg>(files);
    serialPort = std::make_unique<CSerialPortDlg>(1, 9600);
    manualCommand = std::make_unique<CManualCommandDlg>(rig->camera);
    commandMenu = std::make_unique<CCommandMenuDlg>(rig->camera);
    cameraType = 4;  // the start-up dialog chose its first row again
    for (const QString& name :
         {kMainWindow, kSelectComm, kSerialPort, kManualCommand, kCommandMenu}) {
      Window(name)->show();
    }
  }
  void cleanupTestCase() {
    commandMenu.reset();
    manualCommand.reset();
    serialPort.reset();
    selectComm.reset();
    rig.reset();
  }

  // Every control the user can act on has a name, spoken as it reads (no
  // shortcut text, no blanks round it), is in a role a screen reader knows
  // (no check box: the program has none), and is one the user can see.
  void everyControlIsNamed_data() { AddWindowRows(); }
  void everyControlIsNamed() {
    QFETCH(QString, window);
    int controls = 0;
    for (QAccessibleInterface* node : Tree(Of(Window(window)))) {
      if (!IsInteractive(node)) continue;
      ++controls;
      const QString name = node->text(QAccessible::Name);
      QVERIFY2(!name.trimmed().isEmpty(), qPrintable(Describe(node)));
      QVERIFY2(name == name.trimmed() && !name.contains(QLatin1Char('\t')),
               qPrintable(Describe(node)));
      QVERIFY2(node->role() != QAccessible::CheckBox, qPrintable(Describe(node)));
      // Menu items of closed menus are the only controls not shown.
      if (node->role() != QAccessible::MenuItem) {
        QVERIFY2(!node->state().invisible, qPrintable(Describe(node)));
      }
    }
    QVERIFY(controls > 0);
  }

  // A button that stays down until another of its group is pressed is a
  // radio button with its checked state, drawn as a push button or not.
  void checkableButtonsAreRadioButtons_data() { AddWindowRows(); }
  void checkableButtonsAreRadioButtons() {
    QFETCH(QString, window);
    int radios = 0;
    for (QAbstractButton* button : Window(window)->findChildren<QAbstractButton*>()) {
      if (!button->isCheckable()) continue;
      ++radios;
      QAccessibleInterface* node = Of(button);
      QCOMPARE(node->role(), QAccessible::RadioButton);
      QVERIFY(node->state().checkable);
      QCOMPARE(bool(node->state().checked), button->isChecked());
      QVERIFY2(!Labels(node).isEmpty(), qPrintable(Describe(node)));
    }
    QVERIFY(radios > 0 || window == kManualCommand);
  }

  // A control is labelled by the boxes round it, the outermost first, so
  // that "OFF" is heard as the trigger mode's "OFF".
  void groupedControlsAreLabelledByTheirBoxes_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("labels");
    using panel::kTriggerOff, panel::kTrigAPosi, panel::kTrigBNega, panel::kDataBit10;
    QTest::newRow("trigger OFF") << kMainWindow << kTriggerOff << QStringList{"TRIGGER", "MODE"};
    QTest::newRow("TRIG-A POSI") << kMainWindow << kTrigAPosi
                                 << QStringList{"TRIGGER", "POLARITY", "TRIG-A"};
    QTest::newRow("TRIG-B NEGA") << kMainWindow << kTrigBNega
                                 << QStringList{"TRIGGER", "POLARITY", "TRIG-B"};
    QTest::newRow("shutter 1/250") << kMainWindow << 1009 << QStringList{"SHUTTER SPEED"};
    QTest::newRow("partial scan ON")
        << kMainWindow << panel::kPartialScanOn << QStringList{"PARTIAL SCAN"};
    QTest::newRow("START bar") << kMainWindow << panel::kStartBar << QStringList{"PARTIAL SCAN"};
    QTest::newRow("10bit") << kMainWindow << kDataBit10 << QStringList{"DATA BIT"};
    QTest::newRow("2xACCEL ON") << kMainWindow << panel::kAccelOn << QStringList{"2xACCEL"};
    QTest::newRow("GAIN bar, in no box") << kMainWindow << panel::kGainBar << QStringList{};
    QTest::newRow("COM 1") << kSelectComm << CSelectCommDlg::kIdFirstCom
                           << QStringList{"RS-232C Setting", "Open Port"};
    QTest::newRow("19200") << kSelectComm << CSelectCommDlg::kIdBaud19200
                           << QStringList{"RS-232C Setting", "Baud Rate"};
    QTest::newRow("Matrox") << kSelectComm << CSelectCommDlg::kIdMatrox
                            << QStringList{"CameraLink Board", "Select Board Maker"};
    QTest::newRow("Browse") << kSelectComm << CSelectCommDlg::kIdBrowse
                            << QStringList{"CameraLink Board"};
    QTest::newRow("camera row") << kSelectComm << CSelectCommDlg::kIdFirstCameraRow
                                << QStringList{"SELECT CAMERA TYPE"};
    QTest::newRow("OPEN, in no box") << kSelectComm << CSelectCommDlg::kIdOpen << QStringList{};
    QTest::newRow("COM2") << kSerialPort << CSerialPortDlg::kIdCom2 << QStringList{"Port"};
    QTest::newRow("9600") << kSerialPort << CSerialPortDlg::kIdBaud9600 << QStringList{"Baud Rate"};
    QTest::newRow("EEPROM") << kCommandMenu << CCommandMenuDlg::kIdEeprom
                            << QStringList{QStringLiteral("ﾓｰﾄﾞ")};
    QTest::newRow("area TG") << kCommandMenu << CCommandMenuDlg::kIdTg
                             << QStringList{QStringLiteral("ｴﾘｱ")};
    QTest::newRow("read the page")
        << kCommandMenu << CCommandMenuDlg::kIdReadAll << QStringList{QStringLiteral("全ﾃﾞｰﾀ")};
  }
  void groupedControlsAreLabelledByTheirBoxes() {
    QFETCH(QString, window);
    QFETCH(int, id);
    QFETCH(QStringList, labels);
    QCOMPARE(Labels(Of(Control(window, id))), labels);
  }

  // Controls without a caption of their own take the one beside them; a
  // value is the description, without the padding the panel shows.
  void namesAndDescriptions_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("valueOf");  // the value text described, or 0 for a fixed description
    QTest::addColumn<QString>("description");
    using namespace panel;
    QTest::newRow("GAIN bar") << kMainWindow << kGainBar << "GAIN" << kGainText << "";
    QTest::newRow("GAIN text") << kMainWindow << kGainText << "GAIN" << kGainText << "";
    QTest::newRow("BLACK LEVEL bar")
        << kMainWindow << kBlackLevelBar << "BLACK LEVEL" << kBlackLevelText << "";
    QTest::newRow("BLACK LEVEL text")
        << kMainWindow << kBlackLevelText << "BLACK LEVEL" << kBlackLevelText << "";
    QTest::newRow("variable shutter bar")
        << kMainWindow << kVariableShutterBar << "Variable Value" << kVariableShutterText << "";
    QTest::newRow("START bar") << kMainWindow << kStartBar << "START" << kStartText << "";
    QTest::newRow("WIDTH text") << kMainWindow << kWidthText << "WIDTH" << kWidthText << "";
    QTest::newRow("timing figure")
        << kMainWindow << kHorizontalActiveText << "Horizontal Active" << 0 << "1628";
    QTest::newRow("shutter preset") << kMainWindow << 1006 << "1/30" << 0 << "";
    QTest::newRow("9600 without its blank")
        << kSelectComm << CSelectCommDlg::kIdBaud9600 << "9600" << 0 << "";
    QTest::newRow("library path") << kSelectComm << CSelectCommDlg::kIdDllPath << "Library path"
                                  << 0 << "";
    QTest::newRow("transmission") << kManualCommand << CManualCommandDlg::kIdTransmission
                                  << "Transmission Message" << 0 << "";
    QTest::newRow("reply") << kManualCommand << CManualCommandDlg::kIdReceived << "Received Message"
                           << 0 << "";
    QTest::newRow("address of row 05")
        << kCommandMenu << CCommandMenuDlg::kIdAddressFirst + 5 << "address, row 05" << 0 << "";
    QTest::newRow("data of row 31")
        << kCommandMenu << CCommandMenuDlg::kIdDataFirst + 31 << "data, row 31" << 0 << "";
    QTest::newRow("W of row 05") << kCommandMenu << CCommandMenuDlg::kIdWriteFirst + 5 << "W" << 0
                                 << "write row 05";
    QTest::newRow("R of row 05") << kCommandMenu << CCommandMenuDlg::kIdReadFirst + 5 << "R" << 0
                                 << "read row 05";
  }
  void namesAndDescriptions() {
    QFETCH(QString, window);
    QFETCH(int, id);
    QFETCH(QString, name);
    QFETCH(int, valueOf);
    QFETCH(QString, description);
    if (valueOf != 0) {
      const QString shown = ui::FindControlAs<QLabel>(Window(window), valueOf)->text();
      description = shown.trimmed();
      QVERIFY(!description.isEmpty());
    }
    QAccessibleInterface* node = Of(Control(window, id));
    QCOMPARE(node->text(QAccessible::Name), name);
    QCOMPARE(node->text(QAccessible::Description), description);
  }

  // The shortcut shown after a menu item's text is its key binding, not
  // part of its name.
  void menuItemsAreNamedWithoutTheirShortcut_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("keys");
    QTest::newRow("Open") << "Open..."
                          << "Ctrl+O";
    QTest::newRow("Save") << "Save"
                          << "Ctrl+S";
    QTest::newRow("Save As") << "Save As..."
                             << "";
    QTest::newRow("Read From Camera") << "Read From Camera"
                                      << "Ctrl+R";
    QTest::newRow("Serial Port, its trailing blank") << "Serial Port..."
                                                     << "Ctrl+L";
    QTest::newRow("Command Menu, its trailing blank") << "Command Menu"
                                                      << "";
    QTest::newRow("Interface") << "Interface"
                               << "";
  }
  void menuItemsAreNamedWithoutTheirShortcut() {
    QFETCH(QString, name);
    QFETCH(QString, keys);
    QAccessibleInterface* item = nullptr;
    for (QAccessibleInterface* node : Tree(Of(rig->Frame().menuBar()))) {
      if (node->role() == QAccessible::MenuItem && node->text(QAccessible::Name) == name) {
        item = node;
      }
    }
    QVERIFY(item != nullptr);
    const QString action = item->childCount() > 0 ? QAccessibleActionInterface::showMenuAction()
                                                  : QAccessibleActionInterface::pressAction();
    QCOMPARE(item->actionInterface()->actionNames(), QStringList{action});
    const QStringList bindings = item->actionInterface()->keyBindingsForAction(action);
    QCOMPARE(bindings, keys.isEmpty() ? QStringList{} : QStringList{keys});
  }

  // An assistive tool's press is the user's click: the button is checked
  // and its value goes to the camera, as the mouse would send it.
  void pressingARadioButtonClicksIt_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("body");
    QTest::newRow("10bit, drawn as a push button") << panel::kDataBit10 << "01FF0114010000";
    QTest::newRow("shutter 1/250") << 1009 << "01FF0108040000";
  }
  void pressingARadioButtonClicksIt() {
    QFETCH(int, id);
    QFETCH(QString, body);
    auto* button = qobject_cast<QAbstractButton*>(Control(kMainWindow, id));
    QAccessibleActionInterface* actions = Of(button)->actionInterface();
    QVERIFY(!actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    const std::size_t before = rig->BodyCount();
    actions->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(rig->BodyCount(), before + 1);
    QCOMPARE(QString::fromStdString(rig->BodiesSince(before).front()), body);
    QVERIFY(button->isChecked());
  }

  void pressingABoardMakerDisablesTheBaudRates() {
    auto* matrox = Control(kSelectComm, CSelectCommDlg::kIdMatrox);
    Of(matrox)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(selectComm->Selection().linkKind, 1);
    QVERIFY(!Control(kSelectComm, CSelectCommDlg::kIdBaud9600)->isEnabled());
  }

  // A bar's value is the camera's: a tool can step it as an arrow click
  // does, but not set it, which would move the bar without the camera.
  void barStepsButTakesNoValue() {
    auto* bar = qobject_cast<QScrollBar*>(Control(kMainWindow, panel::kBlackLevelBar));
    QAccessibleInterface* node = Of(bar);
    QAccessibleValueInterface* value = node->valueInterface();
    QVERIFY(value != nullptr);
    const int start = bar->value();
    QCOMPARE(value->currentValue().toInt(), start);
    const std::size_t before = rig->BodyCount();
    value->setCurrentValue(start + 5);
    QCoreApplication::processEvents();
    QCOMPARE(bar->value(), start);
    QCOMPARE(rig->BodyCount(), before);
    node->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    QTRY_COMPARE(rig->BodyCount(), before + 1);
    QCOMPARE(bar->value(), start + 1);
    QCOMPARE(value->currentValue().toInt(), start + 1);
    const auto* text = ui::FindControlAs<QLabel>(&rig->Frame(), panel::kBlackLevelText);
    QCOMPARE(node->text(QAccessible::Description), text->text().trimmed());
  }

  // What the panel keeps hidden for good is no part of its tree.
  void hiddenControlsAreLeftOut() {
    QWidget* panel = rig->Frame().View();
    QAccessibleInterface* form = Of(panel);
    QList<QObject*> children;
    for (int i = 0; i < form->childCount(); ++i) children << form->child(i)->object();
    for (int id : panel::kServiceControls) {
      QVERIFY2(!children.contains(ui::FindControl(panel, id)), qPrintable(QString::number(id)));
    }
    QVERIFY(!children.contains(ui::FindControl(panel, panel::kBackUpButton)));
    QVERIFY(children.contains(ui::FindControl(panel, panel::kGainBar)));
    for (int i = 0; i < form->childCount(); ++i) {
      QCOMPARE(form->indexOfChild(form->child(i)), i);
    }
  }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
