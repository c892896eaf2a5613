// The window program started in-process against a virtual camera on a pty
// (COM1), with a private profile, a recording prompt and scripted file
// choices. Nothing blocks: dialogs are driven by the test's runner.
#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/tavrel_app.h"
#include "app/tavrel_doc.h"
#include "model/camera_unit.h"
#include "sim/pty_camera.h"
#include "tests/app/scripted_file_chooser.h"
#include "tests/support/recording_prompt.h"
#include "ui/profile_store.h"

namespace tavrel::testing {

struct AppRig {
  explicit AppRig(sim::CameraOptions options = {}) : virtualCamera(std::move(options)) {
    savedCameraType = cameraType;
    setenv("TAVREL_COM1", virtualCamera.DevicePath().c_str(), 1);
    setenv("TAVREL_COM3", directory.filePath("no-such-port").toLocal8Bit().constData(), 1);
  }
  ~AppRig() {
    app.reset();
    unsetenv("TAVREL_COM1");
    unsetenv("TAVREL_COM3");
    cameraType = savedCameraType;  // the next test starts from its own choice
  }

  CTavrelApp::StartResult Start(const StartOptions& options, DialogRunner runner = {}) {
    AppServices services;
    services.prompt = boxes != nullptr ? boxes : &prompt;
    services.files = &files;
    services.runDialog = [this, runner](QDialog& dialog) {
      dialogTitles.push_back(dialog.windowTitle());
      if (!runners.empty()) {
        const DialogRunner next = runners.front();
        runners.pop_front();
        return next(dialog);
      }
      if (runner) return runner(dialog);
      dialog.accept();
      return dialog.result();
    };
    services.executableName = executableName;
    services.showWindow = false;
    app = std::make_unique<CTavrelApp>(camera, profile, services);
    return app->InitInstance(options);
  }

  // Starts on COM1 at 9600 with the default camera row, without the dialog.
  CTavrelApp::StartResult StartOnCom1() {
    StartOptions options;
    CommSelection selection;
    selection.opened = true;
    options.preset = selection;
    options.presetCameraType = 4;
    return Start(options);
  }

  QString Path(const QString& name) const { return directory.filePath(name); }
  CMainFrame& Frame() const { return *app->MainFrame(); }
  CTavrelDoc& Document() const { return *app->Document(); }
  // Presses Ctrl+`key` in the main window, shown and active first: its
  // shortcuts answer only while it is the active window itself (not while a
  // tool window of its own is). False when it never became active (nothing
  // pressed).
  bool PressCtrl(Qt::Key key) {
    Frame().show();
    Frame().activateWindow();
    if (!QTest::qWaitFor([this] { return QApplication::activeWindow() == &Frame(); })) {
      return false;
    }
    QTest::keyClick(&Frame(), key, Qt::ControlModifier);
    return true;
  }
  // Command bodies the camera accepted so far.
  std::size_t BodyCount() const { return virtualCamera.ReceivedBodies().size(); }
  // Command bodies the camera accepted after the first `first` ones.
  std::vector<std::string> BodiesSince(std::size_t first) const {
    const auto bodies = virtualCamera.ReceivedBodies();
    return {bodies.begin() + static_cast<std::ptrdiff_t>(first), bodies.end()};
  }

  QTemporaryDir directory;
  sim::PtyCamera virtualCamera;
  CameraUnit camera;
  ProfileStore profile{directory.filePath(QStringLiteral("profile.ini"))};
  RecordingPrompt prompt;
  // The boxes instead of `prompt` when set (the window program's own, shown
  // and answered at the keyboard).
  UserPrompt* boxes = nullptr;
  ScriptedFileChooser files;
  std::vector<QString> dialogTitles;  // every dialog run, in order
  QString executableName = QStringLiteral("tavrel");
  // Drive the next dialogs, one each, before the runner given to Start.
  std::deque<DialogRunner> runners;
  int savedCameraType = 0;
  std::unique_ptr<CTavrelApp> app;
};

}  // namespace tavrel::testing
