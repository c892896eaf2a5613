#include "app/run_tavrel.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>

#include "app/command_line.h"
#include "app/desktop_platform.h"
#include "app/guarded_application.h"
#include "app/hand_over.h"
#include "app/handed_file_queue.h"
#include "app/instance_channel.h"
#include "app/keyboard_owner.h"
#include "app/main_frame.h"
#include "app/menu_listing.h"
#include "app/program_icon.h"
#include "app/recent_file_list.h"
#include "app/screenshots.h"
#include "app/tavrel_app.h"
#include "app/tavrel_doc.h"
#include "link/comm_port.h"
#include "model/camera_unit.h"
#include "sim/in_process_camera.h"
#include "ui/profile_store.h"

namespace tavrel {
namespace {

// The menu the program offers under `executableName`, with the recent files
// the profile holds, without the start-up: no dialog, no link, nothing
// written.
int PrintMenu(const QString& executableName) {
  const CommPort noLink;
  ProfileStore profile;
  const RecentFileList recentFiles(profile);
  CMainFrame frame(noLink, executableName);
  frame.SetRecentFiles(recentFiles.Files());
  WriteToConsole(stdout, MenuListing(frame));
  return 0;
}

// Starts the virtual camera of model `type` in this process and leads COM1 to
// it. A camera that cannot start is said on stderr; COM1 then stays a port.
void StartVirtualCameraOnComOne(int type, std::unique_ptr<sim::InProcessCamera>& virtualCamera,
                                CameraUnit& camera) {
  try {
    sim::CameraOptions options;
    options.model = CameraModelName(type);
    virtualCamera = std::make_unique<sim::InProcessCamera>(options);
    camera.RouteComPort(1, [&virtualCamera] { return virtualCamera->Connect(); });
  } catch (const std::exception& error) {
    WriteToConsole(stderr, QStringLiteral("tavrel: the virtual camera did not start: %1\n")
                               .arg(QString::fromLocal8Bit(error.what())));
  }
}

// Qt ends the program with an abort, advising to reinstall, when the display
// it was given cannot be reached (DISPLAY names one that is not there, or
// refuses this user): said the way a missing display is, for as long as
// this watch lives.
class UnreachableDisplayWatch {
 public:
  UnreachableDisplayWatch() { previous_ = qInstallMessageHandler(&Handle); }
  ~UnreachableDisplayWatch() { qInstallMessageHandler(previous_); }
  UnreachableDisplayWatch(const UnreachableDisplayWatch&) = delete;
  UnreachableDisplayWatch& operator=(const UnreachableDisplayWatch&) = delete;

 private:
  static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("could not connect to display"))) unreachable_ = message;
    if (type == QtFatalMsg && !unreachable_.isEmpty()) {
      WriteToConsole(
          stderr, QStringLiteral("tavrel: the display cannot be reached (%1); the window\n"
                                 "program needs one. In a terminal, tavrelctl reaches the camera\n"
                                 "instead (tavrelctl --help; for example tavrelctl --simulate "
                                 "read-all).\n")
                      .arg(unreachable_));
      std::_Exit(1);
    }
    if (previous_ != nullptr) previous_(type, context, message);
  }
  static inline QtMessageHandler previous_ = nullptr;
  static inline QString unreachable_;
};

}  // namespace

int RunTavrel(int argc, char** argv) {
  // Help and mistakes are answered before any window system is needed.
  const QStringList arguments = ProgramArguments(argc, argv);
  const CommandLine line = ParseCommandLine(arguments);
  if (!line.error.isEmpty()) {
    const QString mistake = QStringLiteral("tavrel: %1\n").arg(line.error);
    if (!WriteToConsole(stderr, mistake + UsageText())) {
      ShowInMessageBox(mistake + QStringLiteral("\n\"tavrel --help\" lists the options."), true);
    }
    return 2;
  }
  if (line.help) {
    if (!WriteToConsole(stdout, UsageText())) ShowInMessageBox(UsageText(), false);
    return 0;
  }
  if (const QString missing = MissingDisplayText(); !missing.isEmpty()) {
    WriteToConsole(stderr, missing);
    return 1;
  }
  std::optional<UnreachableDisplayWatch> displayWatch(std::in_place);
  GuardedApplication application(argc, argv);
  displayWatch.reset();
  UseJapaneseFontFallback();
  QApplication::setWindowIcon(ProgramIcon());  // also the dialogs before the main window
  const QString executableName = arguments.value(0);
  if (line.printMenu) return PrintMenu(executableName);
  // Only where someone types: the pictures show no keyboard focus.
  std::unique_ptr<KeyboardOwner> keyboard;
  if (RunsUntilEnded(line)) keyboard = std::make_unique<KeyboardOwner>();

  // A settings file opened from the desktop while the program runs goes to
  // the running program.
  const QString channelName = InstanceChannel::DefaultName();
  const bool serviceName = CMainFrame::IsDeveloperName(executableName);
  if (HandsItsFileOver(line, serviceName)) {
    if (HandToRunningProgram(line.start.document, channelName)) return 0;
  }

  // Built in this order and destroyed in reverse: the virtual camera outlives
  // the link, and the application stores the port number before the camera
  // object closes the link.
  std::unique_ptr<sim::InProcessCamera> virtualCamera;
  CameraUnit camera;
  if (!camera.TraceTo(LocalFilePath(line.traceFile))) {
    const QString text = QStringLiteral("tavrel: cannot open the trace file %1\n")
                             .arg(QString::fromStdString(camera.GetSystemErrorText()));
    if (!WriteToConsole(stderr, text)) ShowInMessageBox(text, true);
    return 2;
  }
  ProfileStore profile;
  AppServices services;
  if (line.simulate) {
    // COM1 leads to the camera in this process, at the start and whenever
    // the Serial Port dialog opens it again.
    // Of the model --model named, whatever the dialog's camera row says.
    const int simulatedType = line.simulatedCameraType;
    services.beforeLinkOpens = [&virtualCamera, &camera, simulatedType](int type) {
      StartVirtualCameraOnComOne(simulatedType >= 0 ? simulatedType : type, virtualCamera, camera);
    };
  }
  // Claimed before the start-up, which may take long (the dialog, the
  // start-up read): a file handed over meanwhile waits for this program.
  InstanceChannel channel;
  const bool listening = IsPlainStart(line, serviceName) && channel.Listen(channelName);

  CTavrelApp app(camera, profile, services);
  const auto result = app.InitInstance(line.start);
  // A fault in the start-up's own dialogs has ended their loops: no window follows.
  if (GuardedApplication::Failed()) return kExitInternal;
  if (result != CTavrelApp::StartResult::kRunning) return CTavrelApp::ExitStatus(result);

  HandedFileQueue handedFiles([&app](const QString& path) {
    app.MainFrame()->raise();
    app.MainFrame()->activateWindow();
    app.Document()->OpenDocumentFile(path);
  });
  if (listening) {
    QObject::connect(&channel, &InstanceChannel::fileReceived, &handedFiles,
                     &HandedFileQueue::Enqueue);
    channel.Serve();
  }

  if (!line.screenshotDir.isEmpty()) {
    QTimer::singleShot(0, &app, [&] {
      const bool saved = SaveScreenshots(line.screenshotDir, *app.MainFrame(), camera);
      QApplication::exit(saved ? 0 : 1);
    });
  } else if (line.exitWhenShown) {
    QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
  }
  return QApplication::exec();
}

}  // namespace tavrel
