// The line monitor in the window program, against the virtual camera on a
// pseudo-terminal: what a click on the panel adds to it, how it is opened
// and left with the mouse and the keyboard, what a screen reader finds in
// it, the file it saves, and the number of rows it keeps.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "app/command_ids.h"
#include "app/line_monitor.h"
#include "app/line_monitor_model.h"
#include "link/line_trace.h"
#include "panel/panel_ids.h"
#include "sim/camera_options.h"
#include "tests/app/app_rig.h"
#include "tests/app/scripted_file_chooser.h"
#include "tests/support/recording_prompt.h"
#include "tests/support/scroll_bar_parts.h"
#include "ui/dialog_layout.h"

using namespace tavrel;
using tavrel::testing::AppRig;
using tavrel::testing::PartCentre;

namespace {

// Entries the whole-camera read of KESTRA-P/S visits: the start-up read's
// rows.
constexpr int kStartUpRows = 50;

QPushButton* Button(const CLineMonitor& monitor, const QString& text) {
  for (QPushButton* button : monitor.findChildren<QPushButton*>()) {
    if (button->text() == text) return button;
  }
  return nullptr;
}

QStringList MenuTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
  }
  return texts;
}

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QScrollBar* GainBar(AppRig& rig) {
  return ui::FindControlAs<QScrollBar>(rig.Frame().View(), panel::kGainBar);
}

// Starts on COM1, the window shown and active, with the start-up read's rows
// listed.
bool StartShown(AppRig& rig) {
  if (rig.StartOnCom1() != CTavrelApp::StartResult::kRunning) return false;
  rig.Frame().show();
  rig.Frame().activateWindow();
  return QTest::qWaitForWindowActive(&rig.Frame()) &&
         QTest::qWaitFor([&rig] { return rig.app->LineRows().rowCount() == kStartUpRows; });
}

LineRow MadeRow(std::uint64_t number, bool failed = false) {
  LineRow row;
  row.number = number;
  row.atUs = static_cast<std::int64_t>(number) * 1000;
  row.activity = "read GAIN";
  row.failed = failed;
  row.outcome = failed ? "FAILED: time-out" : "reply accepted";
  return row;
}

}  // namespace

class LineMonitorTest : public QObject {
  Q_OBJECT

 private slots:
  // One click on GAIN's arrow is one write, and one row more, which says
  // what went over the line. Opened with its key, the monitor leaves the
  // keyboard in the panel.
  void oneClickOnGainAddsOneRow() {
    AppRig rig;
    QVERIFY(StartShown(rig));
    CLineMonitor* monitor = rig.Frame().LineMonitor();
    QVERIFY(monitor != nullptr && !monitor->isVisible());
    QScrollBar* gain = GainBar(rig);
    gain->setFocus();
    QVERIFY(rig.PressCtrl(Qt::Key_M));
    QVERIFY(monitor->isVisible());
    QCOMPARE(QApplication::focusWidget(), gain);
    QCOMPARE(QApplication::activeWindow(), &rig.Frame());

    const std::size_t bodies = rig.BodyCount();
    QTest::mouseClick(gain, Qt::LeftButton, {}, PartCentre(gain, QStyle::SC_ScrollBarAddLine));
    QCOMPARE(rig.BodyCount(), bodies + 1);
    LineMonitorModel& rows = rig.app->LineRows();
    QTRY_COMPARE(rows.rowCount(), kStartUpRows + 1);
    QCOMPARE(monitor->Table()->model()->rowCount(), kStartUpRows + 1);
    const LineRow& row = rows.RowAt(kStartUpRows);
    QCOMPARE(row.activity, "write GAIN = " + std::to_string(gain->value()));
    QCOMPARE(row.toCamera.substr(0, 14), std::string("ENQ, STX 01FF0"));
    QCOMPARE(row.fromCamera, std::string("ACK, ACK"));
    QCOMPARE(row.outcome, std::string("ACK"));
    QVERIFY(!row.failed);
    QCOMPARE(row.number, std::uint64_t{kStartUpRows + 1});
    QCOMPARE(QApplication::focusWidget(), gain);
  }

  // The file the monitor saves is the trace the link wrote meanwhile, line
  // for line, and reads back as a trace.
  void savedFileIsTheTrace() {
    AppRig rig;
    const QString trace = rig.Path(QStringLiteral("line.txt"));
    QVERIFY(rig.camera.TraceTo(trace.toStdString()));
    QVERIFY(StartShown(rig));
    QScrollBar* gain = GainBar(rig);
    QTest::mouseClick(gain, Qt::LeftButton, {}, PartCentre(gain, QStyle::SC_ScrollBarAddLine));
    QTRY_COMPARE(rig.app->LineRows().rowCount(), kStartUpRows + 1);
    rig.camera.TraceTo({});

    CLineMonitor& monitor = *rig.Frame().LineMonitor();
    rig.Frame().ShowLineMonitor();
    const QString saved = rig.Path(QStringLiteral("saved.txt"));
    rig.files.answers.push_back(saved);
    QTest::mouseClick(Button(monitor, QStringLiteral("Save As...")), Qt::LeftButton);
    QCOMPARE(rig.files.requests.size(), std::size_t{1});
    QCOMPARE(rig.files.requests.back().title, QStringLiteral("Save Trace As"));
    const QByteArray bytes = FileBytes(saved);
    QVERIFY(!bytes.isEmpty());
    QCOMPARE(bytes, FileBytes(trace));
    int bursts = 0;
    for (const QByteArray& line : bytes.trimmed().split('\n')) {
      const std::optional<TraceLine> read = ParseTraceLine(line.toStdString());
      QVERIFY2(read && !read->isNote, line.constData());
      ++bursts;
    }
    // At least ENQ, ACK, frame, ACK for every exchange.
    QVERIFY(bursts >= 4 * (kStartUpRows + 1));
    QVERIFY(rig.prompt.messages.empty());
  }

  // A refused ENQ makes a failed row: bold, tinted and said in words; the
  // filter lists it alone.
  void failedRowsStandOutAndFilterAlone() {
    AppRig rig;
    QVERIFY(StartShown(rig));
    rig.virtualCamera.AddFault({sim::FaultKind::kEnqNak, 4});
    QScrollBar* gain = GainBar(rig);
    QTest::mouseClick(gain, Qt::LeftButton, {}, PartCentre(gain, QStyle::SC_ScrollBarAddLine));
    QCOMPARE(rig.prompt.messages.size(), std::size_t{1});
    QTRY_COMPARE(rig.app->LineRows().rowCount(), kStartUpRows + 1);

    rig.Frame().ShowLineMonitor();
    CLineMonitor& monitor = *rig.Frame().LineMonitor();
    QAbstractItemModel* shown = monitor.Table()->model();
    const QModelIndex outcome = shown->index(kStartUpRows, 5);
    QCOMPARE(outcome.data().toString(),
             QStringLiteral("FAILED: code 20, Unexpected character received from camera unit. "
                            "(after ENQ ×4, camera NAK ×4)"));
    QVERIFY(outcome.data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(outcome.data(Qt::BackgroundRole).isValid());
    QVERIFY(!shown->index(0, 5).data(Qt::FontRole).value<QFont>().bold());

    auto* filter = monitor.findChild<QComboBox*>();
    filter->setFocus();
    QTest::keyClick(filter, Qt::Key_Down);
    QCOMPARE(filter->currentText(), QStringLiteral("Failures only"));
    QCOMPARE(shown->rowCount(), 1);
    QCOMPARE(shown->headerData(0, Qt::Vertical).toString(), QString::number(kStartUpRows + 1));
    QCOMPARE(monitor.NoteText(), QStringLiteral("1 failed of 51 exchanges listed"));
  }

  // Under the service name "Line Monitor" ends the Interface menu; under
  // any name Ctrl+M and the port indicator's context menu show and hide it.
  void openedFromMenuKeyAndPortIndicator() {
    AppRig rig;
    rig.executableName = QStringLiteral("Marbleton service mode");
    QVERIFY(StartShown(rig));
    CMainFrame& frame = rig.Frame();
    CLineMonitor& monitor = *frame.LineMonitor();
    QMenu* interface = frame.InterfaceMenu();
    QCOMPARE(MenuTexts(interface).constLast(), QStringLiteral("Line Monitor"));
    QMenuBar* bar = frame.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->actionGeometry(interface->menuAction()).center());
    QVERIFY(interface->isVisible());
    QAction* item = frame.FindAction(cmd::kLineMonitor);
    QCOMPARE(item->statusTip(), QStringLiteral("Show Every Exchange On The Camera Line (Ctrl+M)"));
    QTest::mouseClick(interface, Qt::LeftButton, {}, interface->actionGeometry(item).center());
    QVERIFY(monitor.isVisible());
    QVERIFY(item->isChecked());

    // The port indicator's menu, with the right mouse button.
    auto* pane = frame.statusBar()->findChild<QLabel*>(QStringLiteral("id59142"));
    QTest::mouseClick(frame.windowHandle(), Qt::RightButton, {},
                      pane->mapTo(&frame, pane->rect().center()));
    QMenu* menu = frame.PortPaneMenu();
    QVERIFY(menu != nullptr);
    QCOMPARE(MenuTexts(menu), QStringList{QStringLiteral("Line Monitor\tCtrl+M")});
    QVERIFY(menu->actions().first()->isChecked());
    QTest::mouseClick(menu, Qt::LeftButton, {},
                      menu->actionGeometry(menu->actions().first()).center());
    QVERIFY(!monitor.isVisible());
    QVERIFY(!item->isChecked());

    QVERIFY(rig.PressCtrl(Qt::Key_M));
    QVERIFY(monitor.isVisible());
    QVERIFY(rig.PressCtrl(Qt::Key_M));
    QVERIFY(!monitor.isVisible());
  }

  // F6 takes the keyboard from the panel into the list and back; Tab goes
  // through every control of the monitor, each with a name.
  void keyboardReachesEveryControl() {
    AppRig rig;
    QVERIFY(StartShown(rig));
    QScrollBar* gain = GainBar(rig);
    gain->setFocus();
    rig.Frame().ShowLineMonitor();
    CLineMonitor& monitor = *rig.Frame().LineMonitor();
    QTest::keyClick(&rig.Frame(), Qt::Key_F6);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(monitor.Table()));
    // The first row selected (down and back up), so that Copy can act.
    QTest::keyClick(monitor.Table(), Qt::Key_Down);
    QTest::keyClick(monitor.Table(), Qt::Key_Up);
    QVERIFY(monitor.Table()->selectionModel()->hasSelection());

    QStringList names;
    for (int press = 0; press < 6; ++press) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QAccessibleInterface* node =
          QAccessible::queryAccessibleInterface(QApplication::focusWidget());
      names << node->text(QAccessible::Name);
    }
    // The filter is named by its choice and labelled "Show", as Qt names a
    // combo box for the desktop's screen readers.
    QCOMPARE(names, (QStringList{"Pause", "Clear", "Copy", "Save As...", "All exchanges",
                                 "Exchanges on the camera line"}));
    QAccessibleInterface* filter =
        QAccessible::queryAccessibleInterface(monitor.findChild<QComboBox*>());
    QCOMPARE(filter->relations(QAccessible::Label).value(0).first->text(QAccessible::Name),
             QStringLiteral("Show"));

    // Ctrl+C in the list copies the selected row with the column titles.
    QApplication::clipboard()->clear();
    QTest::keyClick(monitor.Table(), Qt::Key_C, Qt::ControlModifier);
    const QStringList copied = QApplication::clipboard()->text().split(QLatin1Char('\n'));
    QCOMPARE(copied.value(0),
             QStringLiteral("Time (ms)\tActivity\tPC to camera\tCamera to PC\tValue\tOutcome"));
    QVERIFY2(copied.value(1).startsWith(QStringLiteral("0.0\tread all 1/50: ")),
             qPrintable(copied.join(QLatin1Char('\n'))));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(gain));
  }

  // The list is a table to a screen reader: named, with its column titles
  // and each row's exchange number as headers, and the note as its
  // description.
  void listIsATableWithHeaders() {
    AppRig rig;
    QVERIFY(StartShown(rig));
    rig.Frame().ShowLineMonitor();
    CLineMonitor& monitor = *rig.Frame().LineMonitor();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(monitor.Table());
    QCOMPARE(table->role(), QAccessible::Table);
    QCOMPARE(table->text(QAccessible::Name), QStringLiteral("Exchanges on the camera line"));
    QCOMPARE(table->text(QAccessible::Description), QStringLiteral("50 exchanges listed"));
    QAccessibleTableInterface* cells = table->tableInterface();
    QVERIFY(cells != nullptr);
    QCOMPARE(cells->rowCount(), kStartUpRows);
    QCOMPARE(cells->columnCount(), 6);
    const QStringList titles{"Time (ms)",    "Activity", "PC to camera",
                             "Camera to PC", "Value",    "Outcome"};
    QCOMPARE(cells->rowDescription(1), QStringLiteral("2"));
    for (int column = 0; column < 6; ++column) {
      QCOMPARE(cells->columnDescription(column), titles[column]);
      // A cell's header cells, as the desktop's bridge asks for them; Qt
      // hands them over without keeping them.
      QAccessibleTableCellInterface* cell = cells->cellAt(1, column)->tableCellInterface();
      const QList<QAccessibleInterface*> columnHeaders = cell->columnHeaderCells();
      const QList<QAccessibleInterface*> rowHeaders = cell->rowHeaderCells();
      const QString columnHeader = columnHeaders.value(0)->text(QAccessible::Name);
      const QString rowHeader = rowHeaders.value(0)->text(QAccessible::Name);
      for (QAccessibleInterface* header : columnHeaders + rowHeaders) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(header));
      }
      QCOMPARE(columnHeader, titles[column]);
      QCOMPARE(rowHeader, QStringLiteral("2"));
    }
    QCOMPARE(cells->cellAt(1, 5)->text(QAccessible::Name), QStringLiteral("reply accepted"));
  }

  // The monitor keeps the last 10,000 rows and says how many older ones
  // gave way; paused, new rows wait and show on Resume.
  void keepsTheLastRowsAndPauses() {
    LineMonitorModel rows;
    testing::ScriptedFileChooser files;
    testing::RecordingPrompt prompt;
    CLineMonitor monitor(rows, files, prompt);
    monitor.show();
    const int capacity = LineMonitorModel::kDefaultCapacity;
    QCOMPARE(capacity, 10000);
    for (int number = 1; number <= capacity + 5; ++number) rows.Add(MadeRow(number));
    rows.Publish();
    QCOMPARE(rows.rowCount(), capacity);
    QCOMPARE(rows.DroppedCount(), std::uint64_t{5});
    QCOMPARE(rows.headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("6"));
    QCOMPARE(monitor.NoteText(),
             QStringLiteral("10000 exchanges listed; 5 older ones dropped (the monitor keeps "
                            "the last 10000)"));

    QPushButton* pause = Button(monitor, QStringLiteral("Pause"));
    QTest::mouseClick(pause, Qt::LeftButton);
    QCOMPARE(pause->text(), QStringLiteral("Resume"));
    for (int number = capacity + 6; number <= capacity + 8; ++number) rows.Add(MadeRow(number));
    rows.Publish();
    QCOMPARE(rows.headerData(capacity - 1, Qt::Vertical, Qt::DisplayRole).toString(),
             QString::number(capacity + 5));
    QVERIFY(monitor.NoteText().endsWith(QStringLiteral("; paused, 3 new ones waiting")));
    QTest::mouseClick(pause, Qt::LeftButton);
    QCOMPARE(pause->text(), QStringLiteral("Pause"));
    QCOMPARE(rows.rowCount(), capacity);
    QCOMPARE(rows.headerData(capacity - 1, Qt::Vertical, Qt::DisplayRole).toString(),
             QString::number(capacity + 8));
    QCOMPARE(rows.DroppedCount(), std::uint64_t{8});

    QTest::mouseClick(Button(monitor, QStringLiteral("Clear")), Qt::LeftButton);
    QCOMPARE(rows.rowCount(), 0);
    QCOMPARE(monitor.NoteText(), QStringLiteral("0 exchanges listed"));
  }

  // --line-monitor: the monitor is open with the main window, and the
  // keyboard is in the panel.
  void startsOpenWhenAsked() {
    AppRig rig;
    StartOptions options;
    CommSelection selection;
    selection.opened = true;
    options.preset = selection;
    options.lineMonitor = true;
    QCOMPARE(rig.Start(options), CTavrelApp::StartResult::kRunning);
    CLineMonitor* monitor = rig.Frame().LineMonitor();
    QVERIFY(monitor->isVisible());
    QVERIFY(monitor->isFloating());
    QVERIFY(!monitor->isAncestorOf(QApplication::focusWidget()));
  }
};

QTEST_MAIN(LineMonitorTest)
#include "line_monitor_test.moc"
