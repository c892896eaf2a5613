// The panel's service functions against a virtual camera on a pseudo-terminal:
// the identification read, the serial-number write with its log record and
// profile value, and the up-down control on the serial-number edit. Every
// action is a click or key press on the controls.
#include "panel/service_functions.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSysInfo>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "model/camera_unit.h"
#include "model/parameter_document.h"
#include "panel/panel_ids.h"
#include "panel/tavrel_view.h"
#include "panel/up_down_control.h"
#include "sim/pty_camera.h"
#include "tests/panel/panel_rig.h"
#include "tests/support/lock_holder.h"
#include "tests/support/recording_prompt.h"
#include "ui/dialog_layout.h"
#include "ui/profile_store.h"

using namespace tavrel;
using namespace tavrel::panel;

namespace {

const QByteArray kHeader(
    "\x93\xfa\x8e\x9e,\x8b\x40\x8e\xed\x96\xbc,\x83\x56\x83\x8a\x83\x41\x83\x8bNo.,"
    "\x95\x57\x8f\x80\x8a\xb4\x93\x78\r\n");

const QString kLogName = QStringLiteral("TAVREL_Camera_AdjustData.csv");

// A LOMIRA-P/S on a virtual camera holding serial number 7654321 and Adjust
// GAIN 700, the panel with its service controls shown, and the current
// folder moved to a fresh one for the log.
struct Rig : testing::PanelRig {
  explicit Rig(const char* vendorName = "Talbrook") : PanelRig(0, OptionsFor(vendorName), 4711) {
    simulator->WriteRegister(1, 0x01, 0x1C, {0x02, 0xBC, 0x00});
    view->ServiceFunctions().SetClock([] { return LocalTime{2026, 12, 8, 21, 5}; });
    for (int id : kServiceControls) ui::FindControl(view.get(), id)->show();
    view->show();
    savedFolder = QDir::currentPath();
    QDir::setCurrent(dir.path());
  }
  ~Rig() { QDir::setCurrent(savedFolder); }

  static sim::CameraOptions OptionsFor(const char* vendorName) {
    sim::CameraOptions options;
    options.vendorName = vendorName;
    options.serialNumber = "7654321";
    return options;
  }

  QLineEdit* Edit() const { return ui::FindControlAs<QLineEdit>(view.get(), kSerialNumberEdit); }
  UpDownControl* UpDown() const {
    return ui::FindControlAs<UpDownControl>(view.get(), kSerialSpin);
  }
  void Click(int id) const { QTest::mouseClick(ui::FindControl(view.get(), id), Qt::LeftButton); }
  // Replaces the edit's text as a user does: select all, then type.
  void Type(const QString& text) const {
    QTest::keyClick(Edit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Edit(), Qt::Key_Delete);
    for (const QChar c : text) {
      // A character with no key of its own arrives as typed text.
      QTest::sendKeyEvent(QTest::Click, Edit(),
                          c.unicode() < 128 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown,
                          QString(c), Qt::NoModifier);
    }
  }
  // Command and address ("9003") of every body the camera took.
  QStringList Traffic() const {
    QStringList traffic;
    for (const std::string& body : simulator->ReceivedBodies()) {
      traffic << QString::fromStdString(body.substr(4, 4));
    }
    return traffic;
  }
  QByteArray Log() const {
    QFile file(dir.filePath(kLogName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QString savedFolder;
};

}  // namespace

class ServiceFunctionsTest : public QObject {
  Q_OBJECT
 private slots:
  void readShowsTheFourTextsAndStopsAtEachNamesEnd() {
    Rig rig("Talbo");
    rig.Click(kIdentReadButton);
    QCOMPARE(rig.Text(kVendorNameText), QString("Talbo"));
    QCOMPARE(rig.Text(kModelNameText), QString("LOMIRA-P/S"));
    QCOMPARE(rig.Text(kSerialNumberText), QString("7654321"));
    QCOMPARE(rig.Text(kVersionText), QString());  // nothing read yet: stored zeros
    QCOMPARE(rig.view->ServiceFunctions().m_strModelName, QString("LOMIRA-P/S"));
    // "Talbo" ends in entry 29; the version is never read.
    QCOMPARE(rig.Traffic(), QStringList({"9000", "9001", "9002", "9008", "9009", "900A", "900B",
                                         "900C", "900D", "9010", "9011", "9012", "9013"}));

    rig.camera.SetValue(47, '1' + 256 * 'A', false);
    rig.camera.SetValue(48, '0' + 256 * '3', false);
    rig.Click(kIdentReadButton);
    QCOMPARE(rig.Text(kVersionText), QString("1.A.0.3"));
    QVERIFY(rig.prompt.messages.empty());
  }

  void writeSendsTheDigitsStoresTheNumberAndLogsIt() {
    Rig rig;
    rig.Click(kIdentReadButton);  // the model name for the record
    const int before = static_cast<int>(rig.Traffic().size());
    rig.Type("0012345");
    rig.Click(kSerialWriteButton);
    QCOMPARE(rig.Traffic().mid(before),
             QStringList({"0160", "1010", "1011", "1012", "1013", "811C"}));
    QCOMPARE(rig.CameraValue(43), 12336);
    QCOMPARE(rig.CameraValue(44), 12849);
    QCOMPARE(rig.CameraValue(45), 13363);
    QCOMPARE(rig.CameraValue(46), 53);
    QCOMPARE(rig.profile->GetProfileInt("Recent", "LOMIRA-X", 0), 12345);
    QCOMPARE(rig.Log(), kHeader + "2026.12. 8 21:5,LOMIRA-P/S,0012345,700,\r\n");
    QVERIFY(rig.prompt.messages.empty());

    // The next start seeds the text from the profile.
    CTavrelView next(rig.document, *rig.profile);
    next.OnInitialUpdate();
    QCOMPARE(ui::FindControlAs<QLineEdit>(&next, kSerialNumberEdit)->text(), QString("0012345"));

    // A second number gets only its own line; without a read the model
    // name field stays as the last read left it.
    rig.Type("0012346");
    rig.Click(kSerialWriteButton);
    QCOMPARE(rig.Log(), kHeader + "2026.12. 8 21:5,LOMIRA-P/S,0012345,700,\r\n" +
                            "2026.12. 8 21:5,LOMIRA-P/S,0012346,700,\r\n");
  }

  void writeBeforeAnyReadLogsAnEmptyModelName() {
    Rig rig;
    rig.Type("0000042");
    rig.Click(kSerialWriteButton);
    QCOMPARE(rig.Log(), kHeader + "2026.12. 8 21:5,,0000042,700,\r\n");
  }

  void aBadTextIsToldAfterTheUnlockAndNothingElseIsWritten_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("six digits")
        << "001234"
        << "Serial number cannot be written.\nPlease input the number of seven digits. ";
    QTest::newRow("a letter")
        << "00a2345"
        << "Serial number cannot be written.\nPlease input the decimal number. ";
    QTest::newRow("not Latin-1")
        << QString::fromUtf8("001234\u4e00")
        << "Serial number cannot be written.\nPlease input the decimal number. ";
  }
  void aBadTextIsToldAfterTheUnlockAndNothingElseIsWritten() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    Rig rig;
    rig.Type(text);
    rig.Click(kSerialWriteButton);
    QCOMPARE(rig.Traffic(), QStringList({"0160"}));
    QCOMPARE(rig.prompt.messages.size(), size_t{1});
    QCOMPARE(QString::fromStdString(rig.prompt.messages[0].text), message);
    QCOMPARE(rig.prompt.messages[0].caption, std::string(" TAVREL CONTROL"));
    QCOMPARE(rig.view->ServiceFunctions().m_strSerialNumber, text);
    QCOMPARE(rig.profile->GetProfileInt("Recent", "LOMIRA-X", 0), 4711);
    QVERIFY(!QFile::exists(rig.dir.filePath(kLogName)));
  }

  void aLogThatCannotTakeTheRecordStopsTheWriteBeforeTheUnlock_data() {
    QTest::addColumn<QString>("reason");
    QTest::newRow("held by another program") << "held by another program for more than 5 s";
    QTest::newRow("a folder in its place") << "Is a directory";
  }
  void aLogThatCannotTakeTheRecordStopsTheWriteBeforeTheUnlock() {
    QFETCH(QString, reason);
    Rig rig;
    const QString log = rig.dir.filePath(kLogName);
    std::unique_ptr<testing::LockHolder> holder;
    if (reason.startsWith("held")) {
      holder =
          std::make_unique<testing::LockHolder>(log.toStdString(), testing::LockHolder::kFcntl);
      QVERIFY(holder->Locked());
    } else {
      QVERIFY(QDir(rig.dir.path()).mkdir(kLogName));
    }
    rig.Type("0012345");
    rig.Click(kSerialWriteButton);
    QCOMPARE(rig.prompt.messages.size(), size_t{1});
    // The message as it always was; the reason below it.
    QCOMPARE(rig.prompt.messages[0].text,
             std::string("./TAVREL_Camera_AdjustData.csv is opend. Please close "
                         "./TAVREL_Camera_AdjustData.csv"));
    QCOMPARE(QString::fromStdString(rig.prompt.messages[0].detail), reason);
    QCOMPARE(rig.prompt.messages[0].caption, std::string("Serial Number"));
    // Nothing went to the camera, not even the unlock, and nothing was stored.
    QCOMPARE(rig.Traffic(), QStringList());
    QCOMPARE(rig.CameraValue(43), '7' + 256 * '6');
    QCOMPARE(rig.profile->GetProfileInt("Recent", "LOMIRA-X", 0), 4711);
  }

  void aSpreadsheetLockFileLeftBehindDoesNotStopTheRecord() {
    Rig rig;
    // Left by a spreadsheet that crashed on this machine: nothing holds the log.
    QFile lock(rig.dir.filePath(".~lock." + kLogName + "#"));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(",anna," + QSysInfo::machineHostName().toUtf8() +
               ",08.12.2026 21:05,file:///home/anna/.config/sheet/4;");
    lock.close();
    rig.Type("0012345");
    rig.Click(kSerialWriteButton);
    QVERIFY(rig.prompt.messages.empty());
    QCOMPARE(rig.Log(), kHeader + "2026.12. 8 21:5,,0012345,700,\r\n");
  }

  void aRefusedUnlockIsToldAndTheWriteGoesOn() {
    Rig rig;
    // The unlock's exchange fails; the digits then go out (and the camera,
    // still locked, refuses the first of them).
    rig.simulator->AddFault({sim::FaultKind::kEnqNak, 4, 0});
    rig.Type("0012345");
    rig.Click(kSerialWriteButton);
    QCOMPARE(rig.prompt.messages.size(), size_t{3});
    QCOMPARE(rig.prompt.messages[1].text,
             std::string("This camera is not written the Serial Number.\n"
                         "Please tell design engineer."));
    QCOMPARE(rig.prompt.messages[1].caption, std::string("TAVREL"));
    QVERIFY(rig.prompt.messages[2].text.rfind("ERROR - ", 0) == 0);
    QVERIFY(!QFile::exists(rig.dir.filePath(kLogName)));
  }

  void unlockCommandWritesTheAccessValueOnly() {
    Rig rig;
    rig.view->ServiceFunctions().OnUnlock();
    QCOMPARE(rig.simulator->ReceivedBodies(), std::vector<std::string>{"01FF01604A1D00"});
    QVERIFY(rig.prompt.messages.empty());
  }

  void upDownStepsTheEditText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("stepped");
    QTest::newRow("up past the top") << "9999999"
                                     << "up arrow"
                                     << "0000000";
    QTest::newRow("down from zero") << "0000000"
                                    << "down arrow"
                                    << "0000000";
    QTest::newRow("up without digits") << "abc"
                                       << "up arrow"
                                       << "0000001";
    QTest::newRow("down") << "0012345"
                          << "down arrow"
                          << "0012344";
    QTest::newRow("Up key in the edit") << "0012345"
                                        << "Up key"
                                        << "0012346";
    QTest::newRow("Down key in the edit") << "12"
                                          << "Down key"
                                          << "0000011";
  }
  void upDownStepsTheEditText() {
    QFETCH(QString, text);
    QFETCH(QString, press);
    QFETCH(QString, stepped);
    Rig rig;
    rig.Type(text);
    if (press == "up arrow") QTest::mouseClick(rig.UpDown()->UpButton(), Qt::LeftButton);
    if (press == "down arrow") QTest::mouseClick(rig.UpDown()->DownButton(), Qt::LeftButton);
    if (press == "Up key") QTest::keyClick(rig.Edit(), Qt::Key_Up);
    if (press == "Down key") QTest::keyClick(rig.Edit(), Qt::Key_Down);
    QCOMPARE(rig.Edit()->text(), stepped);
    QCOMPARE(rig.view->ServiceFunctions().m_strSerialNumber, stepped);
    QVERIFY(rig.simulator->ReceivedBodies().empty());
  }

  void upDownSitsAtTheEditsRightEdgeWithNoNumberOfItsOwn() {
    Rig rig;
    const QRect edit = rig.Edit()->geometry();
    const QRect upDown = rig.UpDown()->geometry();
    QCOMPARE(upDown.left(), edit.right() + 1);
    QCOMPARE(upDown.top(), edit.top());
    QCOMPARE(upDown.height(), edit.height());
    QCOMPARE(rig.UpDown()->Buddy(), rig.Edit());
    QVERIFY(rig.UpDown()->findChildren<QLineEdit*>().isEmpty());
  }
};

QTEST_MAIN(ServiceFunctionsTest)
#include "service_functions_test.moc"
