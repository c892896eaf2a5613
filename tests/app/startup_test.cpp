// Start-up paths: cancelled dialog, the default choice on the virtual camera,
// a missing COM port, a settings file on the command line, the CameraLink
// test library, and a library path that does not load.
#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "app/command_ids.h"
#include "model/settings_file.h"
#include "panel/dialog_layout.h"
#include "tests/app/app_rig.h"

using tavrel::CTavrelApp;
using tavrel::testing::AppRig;

namespace {

// Clicks the given controls of the start-up dialog in order, then OPEN.
tavrel::DialogRunner Clicking(std::initializer_list<int> ids, QString typedPath = {}) {
  const std::vector<int> order(ids);
  return [order, typedPath](QDialog& dialog) {
    for (int id : order) {
      if (auto* button = tavrel::ui::FindControlAs<QAbstractButton>(&dialog, id)) button->click();
    }
    if (!typedPath.isEmpty()) {
      tavrel::ui::FindControlAs<QLineEdit>(&dialog, 1109)->setText(typedPath);
    }
    tavrel::ui::FindControlAs<QAbstractButton>(&dialog, 1111)->click();
    return dialog.result();
  };
}

int ReadableEntries(const tavrel::CameraUnit& camera) {
  int count = 0;
  for (int i = 0; i < tavrel::kParameterCount; ++i) {
    if (camera.GetEntry(i).flags & tavrel::kFlagRead) ++count;
  }
  return count;
}

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
    QCOMPARE(rig.BodyCount(), std::size_t(ReadableEntries(rig.camera)));
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
    QCOMPARE(rig.BodyCount(), std::size_t{0});
    QCOMPARE(rig.Frame().PortIndicatorText(), QStringLiteral(" ?"));
    rig.app.reset();
    QCOMPARE(rig.profile.GetProfileInt("Settings", "COM Port", -1), 3);
  }

  void settingsFileOnTheCommandLineIsWrittenWithoutTheRead() {
    AppRig rig;
    const QString path = rig.Path("start.tdx");
    {
      tavrel::CameraUnit source;
      tavrel::cameraType = 4;
      source.InitTable();
      for (int i = 0; i < tavrel::kParameterCount; ++i) source.ResetValue(i);
      QVERIFY(tavrel::SaveSettingsFile(source, path.toStdString()).saved);
    }
    tavrel::StartOptions options;
    options.document = path;
    QCOMPARE(rig.Start(options, Clicking({1140})), CTavrelApp::StartResult::kRunning);
    QCOMPARE(tavrel::cameraType, 0);
    // One whole-camera write and nothing else: no start-up read.
    const std::size_t started = rig.BodyCount();
    QVERIFY(started > 0);
    rig.camera.WriteAllParameters();
    QCOMPARE(rig.BodyCount(), 2 * started);
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
    QCOMPARE(rig.prompt.MessageTexts(), std::vector<std::string>{"Failed to open document."});
  }

  void boardThroughTheTestLibraryReadsAll() {
    const QString library = QStringLiteral(TAVREL_CLSERSIM);
    if (library.isEmpty()) QSKIP("the CameraLink test library is not built");
    AppRig rig;
    QCOMPARE(rig.Start({}, Clicking({1108}, library)), CTavrelApp::StartResult::kRunning);
    QVERIFY2(rig.prompt.messages.empty(),
             rig.prompt.messages.empty() ? "" : rig.prompt.messages[0].text.c_str());
    QCOMPARE(rig.camera.GetPortNumber(), 0);
    QCOMPARE(rig.Frame().PortIndicatorText(), QStringLiteral(" ?"));
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

  void programTracesTheLineFromStartUp() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString trace = dir.filePath(QStringLiteral("line.txt"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    environment.insert(
        QStringLiteral("TAVREL_INSTANCE_NAME"),
        QStringLiteral("tavrel-trace-test-%1").arg(QCoreApplication::applicationPid()));
    QProcess program;
    program.setProcessEnvironment(environment);
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
