// The Interface menu's commands against the virtual camera on a pty: Serial
// Port (reopen and read), Write To Camera with its save-a-copy prompt, and the
// Manual Command tool. Dialogs are driven by the rig's runners, through real
// clicks and key presses; what reached the camera is read from the camera.
#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <cstdlib>

#include "app/command_ids.h"
#include "app/manual_command_dlg.h"
#include "app/serial_port_dlg.h"
#include "tests/app/app_rig.h"
#include "ui/dialog_layout.h"

using tavrel::CManualCommandDlg;
using tavrel::CSerialPortDlg;
using tavrel::DialogRunner;
using tavrel::testing::AppRig;
using tavrel::ui::FindControlAs;
namespace cmd = tavrel::cmd;

namespace {

constexpr char kCodeTooLong[] = "ERROR - Illegal message size of transmission data. ";

// Shows the dialog as the program would (modal, active), without blocking.
bool ShowModal(QDialog& dialog) {
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.show();
  return QTest::qWaitForWindowActive(&dialog);
}

void Click(QDialog& dialog, int id) {
  auto* button = FindControlAs<QAbstractButton>(&dialog, id);
  QVERIFY2(button != nullptr, qPrintable(QString::number(id)));
  QTest::mouseClick(button, Qt::LeftButton);
}

// Clicks the controls in order and returns how the dialog ended.
DialogRunner Clicking(std::initializer_list<int> ids) {
  const std::vector<int> order(ids);
  return [order](QDialog& dialog) {
    if (!ShowModal(dialog)) return -1;
    for (int id : order) Click(dialog, id);
    return dialog.result();
  };
}

// The menu of the service name, where Manual Command is.
void StartInServiceMode(AppRig& rig) {
  rig.executableName = QStringLiteral("Marbleton service mode");
  rig.StartOnCom1();
}

int ReadableEntries(const tavrel::CameraUnit& camera) {
  int count = 0;
  for (int i = 0; i < tavrel::kParameterCount; ++i) {
    if (camera.GetEntry(i).flags & tavrel::kFlagRead) ++count;
  }
  return count;
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// Handshakes the computer started, from the camera's trace.
int EnquiriesIn(const QString& tracePath) {
  int count = 0;
  for (const QByteArray& line : ReadFile(tracePath).split('\n')) {
    if (line.contains("PC->CAM") && line.contains("ENQ")) ++count;
  }
  return count;
}

}  // namespace

class InterfaceCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { unsetenv("TAVREL_COM2"); }

  void serialPortOkReopensOnTheChosenPortAndReadsAll() {
    AppRig rig;
    rig.StartOnCom1();
    sim::PtyCamera second{sim::CameraOptions{}};
    setenv("TAVREL_COM2", second.DevicePath().c_str(), 1);
    const std::size_t onFirst = rig.BodyCount();
    QSignalSpy refreshed(&rig.Document(), &tavrel::CTavrelDoc::updateAllViews);
    bool openedOnCom1 = false;
    rig.runners.push_back([&](QDialog& dialog) {
      openedOnCom1 = FindControlAs<QAbstractButton>(&dialog, CSerialPortDlg::kIdCom1)->isChecked();
      return Clicking({CSerialPortDlg::kIdCom2, CSerialPortDlg::kIdOk})(dialog);
    });
    QVERIFY(rig.PressCtrl(Qt::Key_L));  // Ctrl+L, not in the menu of this program name
    QVERIFY(openedOnCom1);
    QCOMPARE(rig.dialogTitles.back(), QStringLiteral("Serial Port Selection"));
    QCOMPARE(rig.camera.GetPortNumber(), 2);
    QCOMPARE(rig.BodyCount(), onFirst);
    QCOMPARE(second.ReceivedBodies().size(), std::size_t(ReadableEntries(rig.camera)));
    QCOMPARE(refreshed.size(), 1);
    QVERIFY(rig.prompt.messages.empty());
    rig.app->OnIdle();
    QCOMPARE(rig.Frame().PortIndicatorText(), QStringLiteral("COM2"));
  }

  void serialPortCancelOrEscapeSendsNothing_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("CANCEL") << false;
    QTest::newRow("Escape") << true;
  }
  void serialPortCancelOrEscapeSendsNothing() {
    QFETCH(bool, escape);
    AppRig rig;
    rig.StartOnCom1();
    const std::size_t before = rig.BodyCount();
    rig.runners.push_back([escape](QDialog& dialog) {
      if (!ShowModal(dialog)) return -1;
      Click(dialog, CSerialPortDlg::kIdCom2);
      if (escape) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
      } else {
        Click(dialog, CSerialPortDlg::kIdCancel);
      }
      return dialog.result();
    });
    rig.Frame().FindAction(cmd::kSetupPortKey)->trigger();
    QCOMPARE(rig.dialogTitles.size(), std::size_t{1});
    QCOMPARE(rig.BodyCount(), before);
    QVERIFY(rig.camera.IsPortOpen());
    QCOMPARE(rig.camera.GetPortNumber(), 1);
    QVERIFY(rig.prompt.messages.empty());
  }

  void serialPortThatDoesNotOpenLeavesTheLinkClosedWithOneBox() {
    AppRig rig;
    rig.StartOnCom1();
    setenv("TAVREL_COM2", rig.Path("no-such-port").toLocal8Bit().constData(), 1);
    const std::size_t before = rig.BodyCount();
    QSignalSpy refreshed(&rig.Document(), &tavrel::CTavrelDoc::updateAllViews);
    rig.runners.push_back(Clicking({CSerialPortDlg::kIdCom2, CSerialPortDlg::kIdOk}));
    rig.Frame().FindAccelerator(cmd::kSetupPortKey)->trigger();
    QCOMPARE(rig.prompt.messages.size(), std::size_t{1});
    QVERIFY(rig.prompt.messages[0].text.rfind("ERROR - ", 0) == 0);
    QVERIFY(!rig.camera.IsPortOpen());
    QCOMPARE(rig.BodyCount(), before);
    QCOMPARE(refreshed.size(), 0);
  }

  void writeToCameraThenCancelSendsEveryWritableEntryAndSavesNothing() {
    AppRig rig;
    rig.StartOnCom1();
    const std::size_t before = rig.BodyCount();
    QVERIFY(rig.PressCtrl(Qt::Key_W));
    const auto sent = rig.BodiesSince(before);
    QVERIFY(!sent.empty());
    rig.camera.WriteAllParameters();  // what one whole-camera write sends
    QCOMPARE(rig.BodiesSince(before + sent.size()), sent);

    QCOMPARE(rig.files.requests.size(), std::size_t{1});
    const tavrel::FileRequest& request = rig.files.requests[0];
    QCOMPARE(request.filters, QStringList({"TAVDX Files (*.tdx)"}));
    QVERIFY(request.folderMustExist);
    QVERIFY(request.proposedPath.isEmpty());  // untitled: no path of its own
    QCOMPARE(QDir(rig.Path(".")).entryList({"*.tdx"}, QDir::Files), QStringList());
    QCOMPARE(rig.Document().Title(), QStringLiteral("Untitled"));
    QVERIFY(rig.prompt.messages.empty());
  }

  void writeToCameraSavesACopyUnderTheChosenName() {
    AppRig rig;
    rig.StartOnCom1();
    const QString own = rig.Path("own.tdx");
    const QString copy = rig.Path("copy.tdx");
    rig.files.answers.push_back(own);
    rig.Frame().FindAction(cmd::kFileSaveAs)->trigger();
    rig.Frame().FindAction(cmd::kReadFromCamera)->trigger();
    QVERIFY(rig.Document().IsModified());
    const QString title = rig.Frame().windowTitle();

    rig.files.answers.push_back(copy);
    rig.Frame().FindAction(cmd::kWriteToCamera)->trigger();
    QCOMPARE(rig.files.requests.back().proposedPath, own);
    QCOMPARE(ReadFile(copy).size(), 540);
    QCOMPARE(ReadFile(copy), ReadFile(own));
    QVERIFY(!rig.Document().IsModified());
    QCOMPARE(rig.Document().PathName(), own);
    QCOMPARE(rig.Document().Title(), QStringLiteral("own.tdx"));
    QCOMPARE(rig.Frame().windowTitle(), title);
  }

  void failedWriteToCameraStillOffersTheCopyAndAFailedCopyIsReported() {
    AppRig rig;
    rig.StartOnCom1();
    rig.Frame().FindAction(cmd::kReadFromCamera)->trigger();
    rig.virtualCamera.Stop();
    rig.files.answers.push_back(rig.Path("no-such-folder/copy.tdx"));
    rig.Frame().FindAccelerator(cmd::kWriteToCameraKey)->trigger();
    QCOMPARE(rig.files.requests.size(), std::size_t{1});
    QCOMPARE(rig.prompt.messages.size(), std::size_t{2});
    QVERIFY(rig.prompt.messages[0].text.rfind("ERROR - ", 0) == 0);
    // The framework's message, then the system's reason.
    QCOMPARE(rig.prompt.messages[1].text,
             std::string("Failed to save document.\nNo such file or directory"));
    QVERIFY(rig.Document().IsModified());  // nothing was saved
  }

  void manualCommandDialogHasItsIdentifiersAndTexts() {
    tavrel::CameraUnit camera;
    CManualCommandDlg dialog(camera);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Manual Command"));
    QCOMPARE(tavrel::ui::ControlId(&dialog), 135);
    QCOMPARE(dialog.size(), tavrel::ui::DialogUnitsToPixels(212, 111));
    const QList<QPair<int, QString>> buttons{{1110, "Send"}, {1111, "Read"}, {1, "Exit"}};
    for (const auto& [id, text] : buttons) {
      auto* button = FindControlAs<QAbstractButton>(&dialog, id);
      QVERIFY2(button != nullptr, qPrintable(text));
      QCOMPARE(button->text(), text);
    }
    auto* transmission = FindControlAs<QLineEdit>(&dialog, 1112);
    auto* received = FindControlAs<QLineEdit>(&dialog, 1113);
    QVERIFY(transmission != nullptr && received != nullptr);
    QVERIFY(!transmission->isReadOnly());
    QVERIFY(received->isReadOnly());
    QVERIFY(transmission->text().isEmpty() && received->text().isEmpty());
    // Each label sits above its box.
    const QList<QPair<QString, QLineEdit*>> labels{{"Transmission Message", transmission},
                                                   {"Received Message", received}};
    for (const auto& [text, box] : labels) {
      const auto found = dialog.findChildren<QLabel*>();
      const auto label = std::find_if(found.begin(), found.end(),
                                      [&text](QLabel* l) { return l->text() == text; });
      QVERIFY2(label != found.end(), qPrintable(text));
      QVERIFY((*label)->geometry().bottom() <= box->geometry().top());
    }
  }

  void manualSendPutsCapitalsOnTheWireAndReadShowsTheSixCharacters() {
    AppRig rig;
    StartInServiceMode(rig);
    rig.virtualCamera.WriteRegister(0, 1, 0x41, {0xAB, 0xCD, 0xEF});
    QString typed;
    QString received;
    QString afterSend;
    rig.runners.push_back([&](QDialog& dialog) {
      if (!ShowModal(dialog)) return -1;
      auto* transmission = FindControlAs<QLineEdit>(&dialog, CManualCommandDlg::kIdTransmission);
      auto* reply = FindControlAs<QLineEdit>(&dialog, CManualCommandDlg::kIdReceived);
      QTest::keyClicks(transmission, "00ff8141000000");
      Click(dialog, CManualCommandDlg::kIdRead);
      received = reply->text();
      transmission->clear();
      QTest::keyClicks(transmission, "00ff01400a0b0c");
      typed = transmission->text();
      Click(dialog, CManualCommandDlg::kIdSend);
      afterSend = reply->text();
      Click(dialog, CManualCommandDlg::kIdExit);
      return dialog.result();
    });
    const std::size_t before = rig.BodyCount();
    rig.Frame().FindAction(cmd::kManualCommand)->trigger();
    QCOMPARE(rig.dialogTitles.back(), QStringLiteral("Manual Command"));
    QCOMPARE(received, QStringLiteral("ABCDEF"));
    QCOMPARE(typed, QStringLiteral("00FF01400A0B0C"));
    QCOMPARE(afterSend, QString());  // cleared by Send
    const auto bodies = rig.BodiesSince(before);
    QVERIFY(bodies.size() > 2);
    QCOMPARE(bodies[0], std::string("00FF8141000000"));
    QCOMPARE(bodies[1], std::string("00FF01400A0B0C"));
    QCOMPARE(rig.virtualCamera.ReadRegister(0, 1, 0x40), (std::array<std::uint8_t, 3>{10, 11, 12}));
    QVERIFY(rig.prompt.messages.empty());
  }

  void manualReadShowsTheReplyAsItArrived_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letters") << int(sim::FaultKind::kBadValue) << QStringLiteral("GHIJKL");
    QTest::newRow("a NUL among them")
        << int(sim::FaultKind::kNulValue) << QString::fromLatin1("AB\0DEF", 6);
  }
  void manualReadShowsTheReplyAsItArrived() {
    QFETCH(int, fault);
    QFETCH(QString, shown);
    AppRig rig;
    StartInServiceMode(rig);
    rig.virtualCamera.AddFault({static_cast<sim::FaultKind>(fault), 1, 0});
    QString received;
    rig.runners.push_back([&](QDialog& dialog) {
      if (!ShowModal(dialog)) return -1;
      QTest::keyClicks(FindControlAs<QLineEdit>(&dialog, CManualCommandDlg::kIdTransmission),
                       "00FF8141000000");
      Click(dialog, CManualCommandDlg::kIdRead);
      received = FindControlAs<QLineEdit>(&dialog, CManualCommandDlg::kIdReceived)->text();
      dialog.reject();
      return dialog.result();
    });
    rig.Frame().FindAction(cmd::kManualCommand)->trigger();
    QCOMPARE(received, shown);
  }

  void manualBodyOf23CharactersIsRefusedWithTheDialogStillOpen() {
    QTemporaryDir traceDir;
    sim::CameraOptions options;
    options.traceFile = traceDir.filePath("line.txt").toStdString();
    AppRig rig(options);
    StartInServiceMode(rig);
    const QString trace = QString::fromStdString(options.traceFile);
    int enquiriesBefore = -1;
    int enquiriesAfter = -1;
    bool stillOpen = false;
    QString received = QStringLiteral("unset");
    rig.runners.push_back([&](QDialog& dialog) {
      if (!ShowModal(dialog)) return -1;
      auto* reply = FindControlAs<QLineEdit>(&dialog, CManualCommandDlg::kIdReceived);
      QTest::keyClicks(FindControlAs<QLineEdit>(&dialog, CManualCommandDlg::kIdTransmission),
                       "00FF01400A0B0C00112233F");  // 23 characters
      enquiriesBefore = EnquiriesIn(trace);
      for (int id : {CManualCommandDlg::kIdSend, CManualCommandDlg::kIdRead}) Click(dialog, id);
      enquiriesAfter = EnquiriesIn(trace);
      stillOpen = dialog.isVisible() && dialog.result() == 0;
      received = reply->text();
      QTest::keyClick(&dialog, Qt::Key_Escape);
      return dialog.result();
    });
    rig.Frame().FindAction(cmd::kManualCommand)->trigger();
    QCOMPARE(rig.prompt.MessageTexts(), (std::vector<std::string>{kCodeTooLong, kCodeTooLong}));
    QVERIFY(enquiriesBefore > 0);
    QCOMPARE(enquiriesAfter, enquiriesBefore);
    QVERIFY(stillOpen);
    QCOMPARE(received, QString());
  }

  void closingTheToolByAnyMeansReadsTheWholeCamera_data() {
    QTest::addColumn<int>("how");  // 0 Exit, 1 Enter in the message box, 2 Escape
    QTest::newRow("Exit") << 0;
    QTest::newRow("Enter") << 1;
    QTest::newRow("Escape") << 2;
  }
  void closingTheToolByAnyMeansReadsTheWholeCamera() {
    QFETCH(int, how);
    AppRig rig;
    StartInServiceMode(rig);
    bool closed = false;
    bool focused = false;
    rig.runners.push_back([&](QDialog& dialog) {
      if (!ShowModal(dialog)) return -1;
      auto* transmission = FindControlAs<QLineEdit>(&dialog, CManualCommandDlg::kIdTransmission);
      focused = transmission->hasFocus();
      if (how == 0) Click(dialog, CManualCommandDlg::kIdExit);
      if (how == 1) QTest::keyClick(transmission, Qt::Key_Return);
      if (how == 2) QTest::keyClick(transmission, Qt::Key_Escape);
      closed = !dialog.isVisible();
      return dialog.result();
    });
    QSignalSpy refreshed(&rig.Document(), &tavrel::CTavrelDoc::updateAllViews);
    const std::size_t before = rig.BodyCount();
    rig.Frame().FindAction(cmd::kManualCommand)->trigger();
    QVERIFY(focused);
    QVERIFY(closed);
    QCOMPARE(rig.BodyCount() - before, std::size_t(ReadableEntries(rig.camera)));
    QCOMPARE(refreshed.size(), 1);
  }
};

QTEST_MAIN(InterfaceCommandsTest)
#include "interface_commands_test.moc"
