// The main frame: title and size, menu items with their prompts, the
// developer-name rule, accelerators, the edit keys, and the status bar.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/command_ids.h"
#include "app/main_frame.h"
#include "link/comm_port.h"
#include "tests/support/idle_transport.h"

using tavrel::CMainFrame;
using tavrel::testing::IdleTransport;
namespace cmd = tavrel::cmd;

namespace {

QStringList MenuTexts(QMenu* menu) {
  QStringList texts;
  for (QAction* action : menu->actions()) {
    if (action->isVisible())
      texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
  }
  return texts;
}

QMenu* TopMenu(CMainFrame& frame, int index) {
  return frame.menuBar()->actions().at(index)->menu();
}

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

 private slots:
  void titleSizeAndStatusBar() {
    tavrel::CommPort link;
    CMainFrame frame(link, "tavrel");
    QCOMPARE(frame.windowTitle(), QStringLiteral(" TAVREL"));
    QCOMPARE(frame.size(), QSize(684, 440));
    QCOMPARE(frame.PortIndicatorText(), QStringLiteral(" ?"));
    auto* port = frame.statusBar()->findChild<QLabel*>(QStringLiteral("id59142"));
    QVERIFY(port != nullptr);
    QCOMPARE(port->text(), QStringLiteral(" ?"));
    frame.SetStatusText(QStringLiteral("Sending GAIN data to camera..."));
    QCOMPARE(frame.StatusText(), QStringLiteral("Sending GAIN data to camera..."));
  }

  void portIndicatorFollowsTheLinkWithoutGrowing() {
    tavrel::CommPort link;
    CMainFrame frame(link, "tavrel");
    auto* port = frame.statusBar()->findChild<QLabel*>(QStringLiteral("id59142"));
    const int width = port->width();
    link.AttachTransport(std::make_unique<IdleTransport>(), 10, 9600);
    frame.UpdatePortIndicator();
    QCOMPARE(port->text(), QStringLiteral("COM10"));
    QCOMPARE(port->width(), width);
    QVERIFY(port->isEnabled());
    link.Close();
    frame.UpdatePortIndicator();
    QCOMPARE(port->text(), QStringLiteral(" ?"));
  }

  void developerNameKeepsEveryItem_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("as written") << "/opt/tavrel/Marbleton service mode";
    QTest::newRow("mixed case with extension") << "mARBLETON SERVICE Mode.exe";
  }
  void developerNameKeepsEveryItem() {
    QFETCH(QString, name);
    tavrel::CommPort link;
    CMainFrame frame(link, name);
    QCOMPARE(MenuTexts(TopMenu(frame, 0)),
             QStringList({"&Open...\tCtrl+O", "&Save\tCtrl+S", "Save &As...", "-", "Recent File",
                          "-", "E&xit"}));
    QCOMPARE(
        MenuTexts(frame.InterfaceMenu()),
        QStringList({"Manual Command...", "&Read From Camera\tCtrl+R", "&Write To Camera\tCtrl+W",
                     "-", "Seria&l Port...\tCtrl+L ", "Command Menu ", "Line Monitor"}));
    QCOMPARE(MenuTexts(TopMenu(frame, 2)), QStringList({"&About TAVREL..."}));
    QCOMPARE(frame.FindAction(cmd::kManualCommand)->statusTip(),
             QStringLiteral("Send or Receive Message Manually"));
    QCOMPARE(frame.FindAction(cmd::kCommandMenu)->statusTip(),
             QStringLiteral("Adjust Camera Data"));
  }

  void otherNamesLeaveTwoInterfaceItemsAndTheKeys() {
    tavrel::CommPort link;
    CMainFrame frame(link, "/usr/bin/tavrel");
    QCOMPARE(MenuTexts(frame.InterfaceMenu()),
             QStringList({"&Read From Camera\tCtrl+R", "&Write To Camera\tCtrl+W"}));
    QVERIFY(frame.FindAction(cmd::kManualCommand) == nullptr);

    QSignalSpy commands(&frame, &CMainFrame::commandTriggered);
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(&frame, Qt::Key_L, Qt::ControlModifier);
    QTest::keyClick(&frame, Qt::Key_P, Qt::ControlModifier);
    QTest::keyClick(&frame, Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(commands.size(), 3);
    QCOMPARE(cmd::HandlerCommand(commands.at(0).at(0).toInt()), cmd::kSetupPort);
    QCOMPARE(cmd::HandlerCommand(commands.at(1).at(0).toInt()), cmd::kCommandMenu);
    QCOMPARE(cmd::HandlerCommand(commands.at(2).at(0).toInt()), cmd::kReadFromCamera);
  }

  void acceleratorTable() {
    tavrel::CommPort link;
    CMainFrame frame(link, "tavrel");
    const QList<QPair<QString, int>> table{
        {"Ctrl+C", cmd::kEditCopy},
        {"Ctrl+L", cmd::kSetupPortKey},
        {"Ctrl+N", cmd::kFileNew},
        {"Ctrl+O", cmd::kFileOpen},
        {"Ctrl+P", cmd::kCommandMenuKey},
        {"Ctrl+R", cmd::kReadFromCameraKey},
        {"Ctrl+S", cmd::kFileSave},
        {"Ctrl+V", cmd::kEditPaste},
        {"Alt+Backspace", cmd::kEditUndo},
        {"Shift+Del", cmd::kEditCut},
        {"F6", cmd::kNextPane},
        {"Shift+F6", cmd::kPrevPane},
        {"Ctrl+Ins", cmd::kEditCopy},
        {"Shift+Ins", cmd::kEditPaste},
        {"Ctrl+W", cmd::kWriteToCameraKey},
        {"Ctrl+X", cmd::kEditCut},
        {"Ctrl+Z", cmd::kEditUndo},
    };
    for (const auto& [keys, command] : table) {
      QAction* action = frame.FindAccelerator(command);
      QVERIFY2(action != nullptr, qPrintable(keys));
      QVERIFY2(action->shortcuts().contains(QKeySequence(keys)), qPrintable(keys));
    }
  }

  void editKeysActOnTheFocusedEditBox() {
    tavrel::CommPort link;
    CMainFrame frame(link, "tavrel");
    auto* view = new QWidget;
    auto* edit = new QLineEdit(view);
    frame.SetView(view);
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    edit->setFocus();
    edit->setText(QStringLiteral("1/250"));
    edit->selectAll();
    frame.FindAccelerator(cmd::kEditCut)->trigger();  // Shift+Delete
    QCOMPARE(edit->text(), QString());
    frame.FindAccelerator(cmd::kEditPaste)->trigger();  // Shift+Insert
    QCOMPARE(edit->text(), QStringLiteral("1/250"));
    QTest::keyClick(&frame, Qt::Key_Backspace, Qt::AltModifier);  // undo
    QCOMPARE(edit->text(), QString());
  }

  // The mouse opens the Interface menu and rests on an item: its prompt goes
  // to the message pane; closing the menu puts "Ready" back.
  void menuPromptsGoToTheMessagePane() {
    tavrel::CommPort link;
    CMainFrame frame(link, "tavrel");
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QMenuBar* bar = frame.menuBar();
    QMenu* menu = frame.InterfaceMenu();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    QVERIFY(menu->isVisible());
    const QList<QPair<int, QString>> items{
        {cmd::kReadFromCamera, "Read Every Camera Data From Camera"},
        {cmd::kWriteToCamera, "Write Every Camera Data To Camera"},
    };
    for (const auto& [command, prompt] : items) {
      QTest::mouseMove(menu, menu->actionGeometry(frame.FindAction(command)).center());
      QCOMPARE(frame.StatusText(), prompt);
    }
    QTest::keyClick(menu, Qt::Key_Escape);
    QTest::keyClick(bar, Qt::Key_Escape);
    QVERIFY(!menu->isVisible());
    QCOMPARE(frame.StatusText(), QStringLiteral("Ready"));
  }

  void recentFilesReplaceThePlaceholder() {
    tavrel::CommPort link;
    CMainFrame frame(link, "tavrel");
    frame.SetRecentFiles({"/data/a.tdx", "/data/b.tdx"});
    // Shown with the system's own separators.
    const QString a = QDir::toNativeSeparators("/data/a.tdx");
    const QString b = QDir::toNativeSeparators("/data/b.tdx");
    QCOMPARE(MenuTexts(TopMenu(frame, 0)),
             QStringList({"&Open...\tCtrl+O", "&Save\tCtrl+S", "Save &As...", "-", "&1 " + a,
                          "&2 " + b, "-", "E&xit"}));
    QSignalSpy chosen(&frame, &CMainFrame::recentFileChosen);
    frame.FindAction(cmd::kFileMru1 + 1)->trigger();
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("/data/b.tdx"));
  }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
