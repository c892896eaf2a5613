// Start-up paths: cancelled dialog, the default choice on the virtual camera,
// a missing COM port, a settings file on the command line, the CameraLink
// test library, and a library path that does not load.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <functional>

#include "app/command_ids.h"
#include "app/qt_user_prompt.h"
#include "tests/app/app_rig.h"
#include "tests/app/default_settings_file.h"
#include "tests/app/program_environment.h"
#include "ui/dialog_layout.h"

using tavrel::CTavrelApp;
using tavrel::testing::AppRig;
using tavrel::testing::ProgramEnvironment;
using tavrel::testing::SaveDefaultSettingsFile;

namespace {

// Clicks the given controls of the start-up dialog in order, then OPEN.
tavrel::DialogRunner Clicking(std::initializer_list<int> ids, QString typedPath = {}) {
  const std::vector<int> order(ids);
  return [order, typedPath](QDialog& dialog) {
    for (int id : order) {
      if (auto* button = tavrel::ui::FindControlAs<QAbstractButton>(&dialog, id)) {
        QTest::mouseClick(button, Qt::LeftButton);
      }
    }
    if (!typedPath.isEmpty()) {
      tavrel::ui::FindControlAs<QLineEdit>(&dialog, 1109)->setText(typedPath);
    }
    QTest::mouseClick(tavrel::ui::FindControlAs<QAbstractButton>(&dialog, 1111), Qt::LeftButton);
    return dialog.result();
  };
}

// The options of the CameraLink test library's camera, for one test.
class BoardCameraOptions {
 public:
  explicit BoardCameraOptions(const QString& options) {
    setenv("TAVREL_CLSERSIM", options.toLocal8Bit().constData(), 1);
  }
  ~BoardCameraOptions() { unsetenv("TAVREL_CLSERSIM"); }
  BoardCameraOptions(const BoardCameraOptions&) = delete;
  BoardCameraOptions& operator=(const BoardCameraOptions&) = delete;
};

// The command bodies the PC sent, in order, from a virtual camera's trace
// ("... PC->CAM STX 30 31 ... ETX 30 33  |.01FF....03|").
QStringList TracedBodies(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QStringList bodies;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const qsizetype text = line.indexOf("|.");
    if (!line.contains(" PC->CAM STX ") || text < 0) continue;
    const qsizetype end = line.indexOf('.', text + 2);
    bodies << QString::fromLatin1(line.mid(text + 2, end - text - 2));
  }
  return bodies;
}

// Whether the `count` bodies from `first` on each start with one of `prefixes`.
bool AllStartWith(const QStringList& bodies, qsizetype first, qsizetype count,
                  QStringList prefixes) {
  for (qsizetype i = first; i < first + count && i < bodies.size(); ++i) {
    bool matched = false;
    for (const QString& prefix : prefixes) matched = matched || bodies[i].startsWith(prefix);
    if (!matched) return false;
  }
  return bodies.size() >= first + count;
}

// Answers each message box at the keyboard, as its user does: the box shown
// and active, then `key` pressed on it. `seen` is told of the box first.
tavrel::DialogRunner PressingKey(Qt::Key key, std::function<void(const QMessageBox&)> seen) {
  return [key, seen](QDialog& dialog) {
    auto& box = static_cast<QMessageBox&>(dialog);
    seen(box);
    box.show();
    if (!QTest::qWaitForWindowActive(&box)) return int(QMessageBox::NoButton);
    QTest::keyClick(&box, key);
    // A button's letter presses it after a short animation.
    if (!QTest::qWaitFor([&box] { return box.clickedButton() != nullptr; })) {
      return int(QMessageBox::NoButton);
    }
    box.hide();
    return int(box.standardButton(box.clickedButton()));
  };
}

// What the camera had received and whether the main window existed when a
// box appeared, and the box's text.
struct BoxMoment {
  QString text;
  qsizetype bodies = -1;
  bool mainWindow = true;
};

}  // namespace

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void cancelEndsWithStatus1AndNoWindow() {
    AppRig rig;
    const auto result = rig.Start({}, [](QDialog& dialog) {
      tavrel::ui::FindControlAs<QAbstractButton>(&dialog, 1112)->click();
      return dialog.result();
    });
    QCOMPARE(result, CTavrelApp::StartResult::kCancelled);
    QCOMPARE(CTavrelApp::ExitStatus(result), 1);
    QVERIFY(rig.app->MainFrame() == nullptr);
    QCOMPARE(rig.BodyCount(), std::size_t{0});
    rig.app.reset();
    QCOMPARE(rig.profile.GetProfileInt("Settings", "COM Port", -1), 0);
  }

  void openWithDefaultsReadsKestraOnCom1() {
    AppRig rig;
    tavrel::cameraType = 0;
    QCOMPARE(rig.Start({}, Clicking({})), CTavrelApp::StartResult::kRunning);
    QCOMPARE(tavrel::cameraType, 4);
    QCOMPARE(rig.camera.GetPortNumber(), 1);
    QCOMPARE(rig.camera.GetBaudRate(), 9600);
    QCOMPARE(rig.BodyCount(), std::size_t{50});  // entries 0 to 49
    QVERIFY(rig.prompt.messages.empty());
    rig.app->OnIdle();
    QCOMPARE(rig.Frame().PortIndicatorText(), QStringLiteral("COM1"));
    QCOMPARE(rig.Frame().StatusText(), QStringLiteral("Ready"));
    QVERIFY(!rig.Document().IsModified());
    // The control panel fills the window and has named it after the model.
    QCOMPARE(rig.Frame().View()->objectName(), QStringLiteral("id144"));
    QCOMPARE(rig.Frame().windowTitle(), QStringLiteral(" KESTRA-P/S"));
    rig.app.reset();
    QCOMPARE(rig.profile.GetProfileInt("Settings", "COM Port", -1), 1);
  }

  void missingComPortShowsOneBoxAndRunsOn() {
    AppRig rig;
    QCOMPARE(rig.Start({}, Clicking({1121})), CTavrelApp::StartResult::kRunning);  // COM 3
    QCOMPARE(rig.prompt.messages.size(), std::size_t{1});
    QVERIFY(rig.prompt.messages[0].text.rfind("ERROR - ", 0) == 0);
    // The box keeps its text and says below it why, and which ports there are.
    QCOMPARE(rig.prompt.messages[0].text, std::string("ERROR - Can not open communciation port."));
    const QStringList detail = QString::fromStdString(rig.prompt.messages[0].detail).split('\n');
    QCOMPARE(detail.size(), 2);
    QCOMPARE(detail[0], rig.Path(QStringLiteral("no-such-port")) +
                            QStringLiteral(": No such file or directory"));
    QVERIFY2(detail[1].startsWith(QStringLiteral("Serial ports found: ")) ||
                 detail[1] == QStringLiteral("No serial ports were found on this computer."),
             qPrintable(detail[1]));
    QCOMPARE(rig.BodyCount(), std::size_t{0});
    QCOMPARE(rig.Frame().PortIndicatorText(), QStringLiteral(" ?"));
    // A read then finds no port; its box says how to choose another, as the
    // Serial Port item is not in the menu under this name.
    QVERIFY(rig.PressCtrl(Qt::Key_R));
    QCOMPARE(rig.prompt.messages.size(), std::size_t{2});
    QCOMPARE(rig.prompt.messages[1].text, std::string("ERROR - Communication port not opened."));
    QCOMPARE(rig.prompt.messages[1].detail, std::string("Ctrl+L chooses another port."));
    rig.app.reset();
    QCOMPARE(rig.profile.GetProfileInt("Settings", "COM Port", -1), 3);
  }

  // A COM port leads where the profile's "COM Ports" section says, when no
  // TAVREL_COM<n> says otherwise.
  void comPortFollowsTheProfilesChoice() {
    AppRig rig;
    unsetenv("TAVREL_COM4");
    QVERIFY(rig.profile.WriteProfileString(QStringLiteral("COM Ports"), QStringLiteral("COM4"),
                                           QString::fromStdString(rig.virtualCamera.DevicePath())));
    QCOMPARE(rig.Start({}, Clicking({1122})), CTavrelApp::StartResult::kRunning);  // COM 4
    QVERIFY(rig.prompt.messages.empty());
    QCOMPARE(rig.camera.GetPortNumber(), 4);
    QCOMPARE(rig.BodyCount(), std::size_t{50});
    QCOMPARE(rig.camera.GetDevicePath(), rig.virtualCamera.DevicePath());
  }

  void settingsFileOnTheCommandLineIsWrittenWithoutTheRead() {
    AppRig rig;
    const QString path = rig.Path("start.tdx");
    QVERIFY(SaveDefaultSettingsFile(path));
    tavrel::StartOptions options;
    options.document = path;
    QCOMPARE(rig.Start(options, Clicking({1140})), CTavrelApp::StartResult::kRunning);
    QCOMPARE(tavrel::cameraType, 0);
    // One whole-camera write of LOMIRA-P/S (entries 0 to 16) and nothing else:
    // no start-up read.
    QCOMPARE(rig.BodyCount(), std::size_t{17});
    for (const std::string& body : rig.virtualCamera.ReceivedBodies()) {
      QCOMPARE(QString::fromStdString(body.substr(0, 6)), QStringLiteral("01FF01"));
    }
    QCOMPARE(rig.Document().Title(), QStringLiteral("start.tdx"));
    QVERIFY(rig.prompt.messages.empty());
  }

  void unreadableSettingsFileEndsTheStart() {
    AppRig rig;
    tavrel::StartOptions options;
    options.document = rig.Path("missing.tdx");
    const auto result = rig.Start(options, Clicking({}));
    QCOMPARE(result, CTavrelApp::StartResult::kFailed);
    QVERIFY(CTavrelApp::ExitStatus(result) != 0);
    QVERIFY(!rig.camera.IsPortOpen());
    QCOMPARE(rig.prompt.MessageTexts(),
             std::vector<std::string>{"Failed to open document.\nNo such file or directory"});
  }

  // KESTRA-P/S on the board reads entries 0 to 49 from the camera.
  void boardThroughTheTestLibraryReadsAll() {
    AppRig rig;
    const QString trace = rig.Path("board.trace");
    BoardCameraOptions board("--vendor-name Boardcam --trace " + trace);
    QCOMPARE(rig.Start({}, Clicking({1108}, TAVREL_CLSERSIM)), CTavrelApp::StartResult::kRunning);
    QVERIFY2(rig.prompt.messages.empty(),
             rig.prompt.messages.empty() ? "" : rig.prompt.messages[0].text.c_str());
    const QStringList bodies = TracedBodies(trace);
    QCOMPARE(bodies.size(), 50);
    QCOMPARE(bodies.front(), QStringLiteral("01FF8106000000"));
    QCOMPARE(bodies[27], QStringLiteral("01FF9000000000"));
    QCOMPARE(bodies.back(), QStringLiteral("01FF8160000000"));
    QCOMPARE(rig.camera.GetValue(27, false), 'B' + 256 * 'o');
    QCOMPARE(rig.camera.GetPortNumber(), 0);
    QCOMPARE(rig.Frame().PortIndicatorText(), QStringLiteral(" ?"));
  }

  // A board with a settings file named: the camera is read first, then the
  // file's values replace what was read and are written to the camera.
  void boardWithASettingsFileReadsThenWritesIt() {
    AppRig rig;
    const QString path = rig.Path("board.tdx");
    QVERIFY(SaveDefaultSettingsFile(
        path, [](tavrel::CameraUnit& source) { source.SetValue(10, 123, false); }));
    const QString trace = rig.Path("board.trace");
    BoardCameraOptions board("--trace " + trace);
    tavrel::StartOptions options;
    options.document = path;
    QCOMPARE(rig.Start(options, Clicking({1108}, TAVREL_CLSERSIM)),
             CTavrelApp::StartResult::kRunning);
    QVERIFY(rig.prompt.messages.empty());
    const QStringList bodies = TracedBodies(trace);
    QCOMPARE(bodies.size(), 50 + 27);
    QVERIFY(AllStartWith(bodies, 0, 50, {"01FF81", "01FF90"}));
    QVERIFY(AllStartWith(bodies, 50, 27, {"01FF01"}));
    QCOMPARE(bodies[50 + 10], QStringLiteral("01FF010C007B00"));
    QCOMPARE(rig.camera.GetValue(10, false), 123);
    QCOMPARE(rig.Document().Title(), QStringLiteral("board.tdx"));
    QVERIFY(!rig.Document().IsModified());
  }

  // A camera that reports another of the models is said so once, after the
  // start-up read and before the settings file is written to it; Escape
  // keeps the model chosen.
  void reportedModelIsToldBeforeAnyWriteAndEscapeKeepsTheChoice() {
    AppRig rig;
    const QString path = rig.Path("board.tdx");
    QVERIFY(SaveDefaultSettingsFile(path));
    const QString trace = rig.Path("board.trace");
    BoardCameraOptions board("--model-name LOMIRA-S --trace " + trace);
    std::vector<BoxMoment> boxes;
    tavrel::QtUserPrompt keyboard(PressingKey(Qt::Key_Escape, [&](const QMessageBox& box) {
      boxes.push_back({box.text(), TracedBodies(trace).size(), rig.app->MainFrame() != nullptr});
    }));
    rig.boxes = &keyboard;
    tavrel::StartOptions options;
    options.document = path;
    QCOMPARE(rig.Start(options, Clicking({1108}, TAVREL_CLSERSIM)),
             CTavrelApp::StartResult::kRunning);
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].text, QStringLiteral("The camera reports LOMIRA-S; KESTRA-P/S was chosen.\n"
                                           "Start again as LOMIRA-P/S?"));
    QCOMPARE(boxes[0].bodies, 50);
    QVERIFY(!boxes[0].mainWindow);
    QCOMPARE(tavrel::cameraType, 4);
    const QStringList bodies = TracedBodies(trace);
    QCOMPARE(bodies.size(), 50 + 27);
    QVERIFY(AllStartWith(bodies, 50, 27, {"01FF01"}));
    QCOMPARE(rig.Frame().windowTitle(), QStringLiteral(" KESTRA-P/S"));
  }

  // Y starts again as the model the camera reports: its table, read again on
  // the line already open, and its panel.
  void reportedModelStartsAgainOnY() {
    sim::CameraOptions camera;
    camera.modelName = "LOMIRA-S";
    AppRig rig(camera);
    std::vector<BoxMoment> boxes;
    tavrel::QtUserPrompt keyboard(PressingKey(Qt::Key_Y, [&](const QMessageBox& box) {
      boxes.push_back({box.text(), qsizetype(rig.BodyCount()), rig.app->MainFrame() != nullptr});
    }));
    rig.boxes = &keyboard;
    QCOMPARE(rig.Start({}, Clicking({})), CTavrelApp::StartResult::kRunning);
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].bodies, 50);
    QVERIFY(!boxes[0].mainWindow);
    QCOMPARE(tavrel::cameraType, 0);
    QCOMPARE(rig.camera.GetMaximum(15, false), 929);  // LOMIRA-P/S's programmable shutter
    const auto again = rig.BodiesSince(50);
    QCOMPARE(again.size(), std::size_t{17});  // LOMIRA-P/S reads entries 0 to 16
    for (const std::string& body : again) QVERIFY(body.rfind("01FF81", 0) == 0);
    QCOMPARE(rig.Frame().windowTitle(), QStringLiteral(" LOMIRA-P/S"));
    QCOMPARE(rig.camera.GetPortNumber(), 1);
  }

  // Started at 9600 baud on the camera's line, which runs at 19200: the box
  // keeps its text and says below it where a camera does answer, found by
  // ENQ and read commands only; then the port is open again as chosen. A
  // camera that refuses every ENQ answers nowhere, and nothing is added.
  void noAnswerAtStartUpSaysWhereACameraAnswers_data() {
    QTest::addColumn<int>("lineBaud");
    QTest::addColumn<bool>("refusesEnq");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("detail");
    QTest::newRow("at 19200")
        << 19200 << false
        << QStringLiteral("ERROR - Communication time out detected.\nCheck the connection.")
        << QStringLiteral("A camera answers on COM1 at 19200 baud: LOMIRA-S");
    QTest::newRow("refusing ENQ") << 0 << true << QString() << QString();
  }
  void noAnswerAtStartUpSaysWhereACameraAnswers() {
    QFETCH(int, lineBaud);
    QFETCH(bool, refusesEnq);
    QFETCH(QString, text);
    QFETCH(QString, detail);
    sim::CameraOptions camera;
    camera.model = "LOMIRA-P/S";
    camera.modelName = "LOMIRA-S";
    camera.lineBaud = lineBaud;
    if (refusesEnq) camera.faults.push_back({sim::FaultKind::kEnqNak, -1, 0});
    AppRig rig(camera);
    std::vector<std::pair<QString, QString>> boxes;
    tavrel::QtUserPrompt keyboard(PressingKey(Qt::Key_Return, [&](const QMessageBox& box) {
      boxes.emplace_back(box.text(), box.informativeText());
    }));
    rig.boxes = &keyboard;
    QCOMPARE(rig.Start({}, Clicking({})), CTavrelApp::StartResult::kRunning);
    QCOMPARE(boxes.size(), std::size_t{1});
    if (!text.isEmpty()) QCOMPARE(boxes[0].first, text);
    QVERIFY(boxes[0].first.startsWith(QStringLiteral("ERROR - ")));
    QCOMPARE(boxes[0].second, detail);
    for (const std::string& body : rig.virtualCamera.ReceivedBodies()) {
      QVERIFY2(body.rfind("01FF90", 0) == 0, body.c_str());
    }
    QVERIFY(rig.camera.IsPortOpen());
    QCOMPARE(rig.camera.GetPortNumber(), 1);
    QCOMPARE(rig.camera.GetBaudRate(), 9600);
  }

  // LOMIRA-P/S's read stops before the model name, which is then read on its
  // own (read commands only); a text that names none of the models, or the
  // model chosen, shows nothing.
  void reportedModelIsReadWhereTheStartUpReadStopsShort_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("modelName");
    QTest::addColumn<int>("reads");
    QTest::addColumn<QString>("box");
    QTest::newRow("LOMIRA-P/S on a KESTRA-P/S")
        << 1140 << "KESTRA-P/S" << 17 + 6
        << "The camera reports KESTRA-P/S; LOMIRA-P/S was chosen.\nStart again as KESTRA-P/S?";
    QTest::newRow("LOMIRA-P/S on a LOMIRA-S") << 1140 << "LOMIRA-S" << 17 + 5 << "";
    QTest::newRow("KESTRA-P/S on a CAM-1000") << 1139 << "CAM-1000" << 50 << "";
  }
  void reportedModelIsReadWhereTheStartUpReadStopsShort() {
    QFETCH(int, row);
    QFETCH(QString, modelName);
    QFETCH(int, reads);
    QFETCH(QString, box);
    sim::CameraOptions camera;
    camera.modelName = modelName.toStdString();
    AppRig rig(camera);
    rig.prompt.answers = {tavrel::MessageAnswer::kNo};
    QCOMPARE(rig.Start({}, Clicking({row})), CTavrelApp::StartResult::kRunning);
    QCOMPARE(rig.BodyCount(), std::size_t(reads));
    // The model-name entries from address 08 on, read and nothing else.
    const auto bodies = rig.virtualCamera.ReceivedBodies();
    for (std::size_t i = 17; i < std::size_t(reads) && row == 1140; ++i) {
      const QString address = QString::number(8 + i - 17, 16).rightJustified(2, '0').toUpper();
      QCOMPARE(QString::fromStdString(bodies[i]), "01FF90" + address + "000000");
    }
    QCOMPARE(rig.prompt.MessageTexts(),
             box.isEmpty() ? std::vector<std::string>{} : std::vector{box.toStdString()});
  }

  // The maker buttons load the makers' libraries (here not installed: the
  // load fails, then the start-up read).
  void boardMakerButtonsLoadTheirLibraries_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("library");
    QTest::newRow("Eeuresys") << 1106 << "libclseremc.so";
    QTest::newRow("Matrox") << 1107 << "libclsermtx.so";
  }
  void boardMakerButtonsLoadTheirLibraries() {
    QFETCH(int, button);
    QFETCH(QString, library);
    AppRig rig;
    QCOMPARE(rig.Start({}, Clicking({button})), CTavrelApp::StartResult::kRunning);
    QVERIFY2(QString::fromStdString(rig.camera.GetSystemErrorText()).contains(library),
             rig.camera.GetSystemErrorText().c_str());
    QCOMPARE(rig.prompt.messages.size(), std::size_t{2});
    QCOMPARE(rig.prompt.messages[0].text, std::string("ERROR - Can not open communciation port."));
    QCOMPARE(rig.camera.GetPortNumber(), 0);
  }

  // The baud rate chosen in the dialog is the line's speed.
  void baudChoiceSetsTheLineSpeed_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("speed");
    QTest::newRow(" 9600") << 1132 << 9600 << int(B9600);
    QTest::newRow("19200") << 1133 << 19200 << int(B19200);
    QTest::newRow("38400") << 1134 << 38400 << int(B38400);
  }
  void baudChoiceSetsTheLineSpeed() {
    QFETCH(int, button);
    QFETCH(int, baud);
    QFETCH(int, speed);
    AppRig rig;
    // Opened before the program takes the line for itself.
    const int line = open(rig.virtualCamera.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(line >= 0);
    QCOMPARE(rig.Start({}, Clicking({button})), CTavrelApp::StartResult::kRunning);
    termios settings{};
    const int got = tcgetattr(line, &settings);
    close(line);
    QCOMPARE(got, 0);
    QCOMPARE(int(cfgetospeed(&settings)), speed);
    QVERIFY((settings.c_cflag & CSTOPB) != 0);
    QCOMPARE(rig.camera.GetBaudRate(), baud);
    QCOMPARE(rig.BodyCount(), std::size_t{50});
  }

  void otherFactoryWithABadPathShowsTwoBoxes() {
    AppRig rig;
    QCOMPARE(rig.Start({}, Clicking({1108}, rig.Path("libnothing.so"))),
             CTavrelApp::StartResult::kRunning);
    QCOMPARE(rig.prompt.messages.size(), std::size_t{2});
    QCOMPARE(rig.Frame().PortIndicatorText(), QStringLiteral(" ?"));
  }

  void idlePassesShowReadyAndTheAboutBoxRuns() {
    AppRig rig;
    rig.StartOnCom1();
    rig.Frame().SetStatusText(QStringLiteral("Uploading GAIN data from camera..."));
    // Run the event loop until its queue runs empty once.
    QEventLoop loop;
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &loop,
            &QEventLoop::quit, Qt::QueuedConnection);
    QTimer::singleShot(0, &loop, [] {});
    loop.exec();
    QCOMPARE(rig.Frame().StatusText(), QStringLiteral("Ready"));
    rig.Frame().FindAction(tavrel::cmd::kAppAbout)->trigger();
    QCOMPARE(rig.dialogTitles, std::vector<QString>{QStringLiteral("About LOMIRA-S")});
  }

  // The real program started through a link: the menu follows the link's
  // name (without folder and extension, case ignored), not the file's.
  void serviceToolsFollowTheNameTheProgramIsStartedUnder_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("serviceTools");
    QTest::newRow("service name") << "Marbleton service mode" << true;
    QTest::newRow("other case, extension") << "MARBLETON Service MODE.exe" << true;
    QTest::newRow("other name") << "Marbleton service" << false;
  }
  void serviceToolsFollowTheNameTheProgramIsStartedUnder() {
    QFETCH(QString, name);
    QFETCH(bool, serviceTools);
    QTemporaryDir folder;
    const QString link = folder.filePath(name);
    QVERIFY(QFile::link(QStringLiteral(TAVREL_PROGRAM), link));
    QProcess program;
    program.setProcessEnvironment(ProgramEnvironment(
        QStringLiteral("tavrel-menu-test-%1").arg(QCoreApplication::applicationPid()),
        folder.filePath("config")));
    program.start(link, {"--simulate", "--connect", "com1:9600", "--print-menu"});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 0);
    const QString menu = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString interface =
        menu.section(QStringLiteral("&Interface\n"), 1).section(QStringLiteral("&Help"), 0, 0);
    const QString full = QStringLiteral(
        "  Manual Command...\n  &Read From Camera\tCtrl+R\n  &Write To Camera\tCtrl+W\n  -\n"
        "  Seria&l Port...\tCtrl+L \n  Command Menu \n  Line Monitor\n");
    const QString reduced =
        QStringLiteral("  &Read From Camera\tCtrl+R\n  &Write To Camera\tCtrl+W\n");
    QCOMPARE(interface, serviceTools ? full : reduced);
  }

  // The menu listing needs no start-up: no dialog, no link, no profile
  // written, whatever else the command line asks; the recent files the
  // profile holds are listed as the File menu shows them.
  void printMenuAloneNeedsNoStartUp_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("alone") << QStringList{"--print-menu"};
    QTest::newRow("with a link") << QStringList{"--simulate", "--connect", "com1:9600",
                                                "--print-menu"};
  }
  void printMenuAloneNeedsNoStartUp() {
    QFETCH(QStringList, arguments);
    QTemporaryDir config;
    const QString profilePath = config.filePath(QStringLiteral("Talbrook/ TAVREL CONTROL.ini"));
    QVERIFY(QDir().mkpath(QFileInfo(profilePath).path()));
    const QByteArray profile = "[Recent File List]\nFile1=/data/camera one.tdx\n";
    {
      QFile file(profilePath);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(profile);
    }
    QProcess program;
    program.setProcessEnvironment(ProgramEnvironment(
        QStringLiteral("tavrel-print-menu-test-%1").arg(QCoreApplication::applicationPid()),
        config.path()));
    program.start(QStringLiteral(TAVREL_PROGRAM), arguments);
    const bool ended = program.waitForFinished(20000);
    if (!ended) program.kill();
    QVERIFY2(ended, "still running: the start-up dialog is up");
    QCOMPARE(program.exitCode(), 0);
    const QString menu = QString::fromLocal8Bit(program.readAllStandardOutput());
    QVERIFY2(menu.startsWith(QStringLiteral("&File\n  &Open...\tCtrl+O\n")), qPrintable(menu));
    QVERIFY2(menu.contains(QStringLiteral("  &1 /data/camera one.tdx\n")), qPrintable(menu));
    QVERIFY2(menu.contains(QStringLiteral("&Interface\n  &Read From Camera")), qPrintable(menu));
    QFile written(profilePath);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), profile);
  }

  void programTracesTheLineFromStartUp() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString trace = dir.filePath(QStringLiteral("line.txt"));
    QProcess program;
    program.setProcessEnvironment(ProgramEnvironment(
        QStringLiteral("tavrel-trace-test-%1").arg(QCoreApplication::applicationPid()),
        dir.path()));
    program.start(QStringLiteral(TAVREL_PROGRAM),
                  {"--simulate", "--connect", "com1:9600", "--trace", trace, "--exit-when-shown"});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
    QFile file(trace);
    QVERIFY(file.open(QIODevice::ReadOnly));
    int enqs = 0;
    int replies = 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
      enqs += line.contains(" PC->CAM ENQ") ? 1 : 0;
      replies += line.contains(" CAM->PC STX") ? 1 : 0;
    }
    // Start-up reads the whole camera: one reply frame per command.
    QVERIFY(enqs > 10);
    QCOMPARE(replies, enqs);
  }

  // Started where no window can be shown (a terminal, an ssh session), the
  // program says so and where to turn instead, rather than aborting.
  void withoutADisplayItSaysSoAndNamesTavrelctl_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("says");
    QTest::newRow("none")
        << ""
        << "tavrel: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    QTest::newRow("one that is not there") << ":9876"
                                           << "tavrel: the display cannot be reached (";
  }
  void withoutADisplayItSaysSoAndNamesTavrelctl() {
    QFETCH(QString, display);
    QFETCH(QString, says);
    QTemporaryDir config;
    QProcessEnvironment environment = ProgramEnvironment(
        QStringLiteral("tavrel-no-display-test-%1").arg(QCoreApplication::applicationPid()),
        config.path());
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
      environment.remove(QString::fromLatin1(name));
    }
    if (!display.isEmpty()) environment.insert(QStringLiteral("DISPLAY"), display);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TAVREL_PROGRAM),
                  {"--simulate", "--connect", "com1:9600", "--exit-when-shown"});
    QVERIFY(program.waitForFinished(20000));
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    QVERIFY2(err.contains(says), qPrintable(err));
    QVERIFY2(err.contains(QStringLiteral("tavrelctl --simulate read-all")), qPrintable(err));
  }

  void programAnswersHelpAndRejectsBadOptions() {
    QProcess help;
    help.start(QStringLiteral(TAVREL_PROGRAM), {"--help"});
    QVERIFY(help.waitForFinished(10000));
    QCOMPARE(help.exitCode(), 0);
    QVERIFY(help.readAllStandardOutput().contains("--connect"));

    QProcess bad;
    bad.start(QStringLiteral(TAVREL_PROGRAM), {"--connect", "com11:9600"});
    QVERIFY(bad.waitForFinished(10000));
    QCOMPARE(bad.exitCode(), 2);
  }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
