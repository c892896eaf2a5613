// The application object: the start-up sequence (link choice, table set-up,
// link opening, the start-up read and the model the camera reports, the
// document and its window), the idle status text, the About box, and the
// stored COM port number at the end.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/dialog_runner.h"
#include "app/line_monitor_model.h"
#include "app/select_comm_dlg.h"
#include "model/com_port_directory.h"
#include "model/line_decoder.h"

namespace tavrel {

class CMainFrame;
class CTavrelDoc;
class CameraUnit;
class FileChooser;
class ProfileStore;
class QtUserPrompt;
class UserPrompt;

// What the user asked for on the command line.
struct StartOptions {
  QString document;  // a settings file to open, or empty
  // Answers the Select Communication System dialog without showing it.
  std::optional<CommSelection> preset;
  int presetCameraType = 4;
  // Shows the line monitor with the main window.
  bool lineMonitor = false;
};

// Everything the application reaches the user through. Unset members get the
// window program's own (message boxes, file dialogs, QDialog::exec).
struct AppServices {
  UserPrompt* prompt = nullptr;
  FileChooser* files = nullptr;
  DialogRunner runDialog;
  // The name the program was started under, argv[0] (decides the service
  // tools of the menu); empty = the application's first argument.
  QString executableName;
  bool showWindow = true;
  // Called with the chosen camera type just before the link is opened.
  std::function<void(int cameraType)> beforeLinkOpens;
};

class CTavrelApp : public QObject {
  Q_OBJECT

 public:
  enum class StartResult { kRunning, kCancelled, kFailed };

  // `camera` and `profile` must outlive the application object.
  // Watches `camera`'s line from now on, for the line monitor.
  CTavrelApp(CameraUnit& camera, ProfileStore& profile, AppServices services = {});
  // Stores the link's port number under "Settings" / "COM Port".
  ~CTavrelApp() override;

  StartResult InitInstance(const StartOptions& options);
  // Exit status of a start that did not reach the message loop.
  static int ExitStatus(StartResult result) { return result == StartResult::kRunning ? 0 : 1; }

  // One pass of the idle processing: "Ready" and the port indicator.
  void OnIdle();
  void OnAppAbout();
  void OnCommand(int commandId);

  CMainFrame* MainFrame() const { return m_frame.get(); }
  CTavrelDoc* Document() const { return m_document.get(); }
  UserPrompt& Prompt() const { return *m_prompt; }
  // Every exchange since the start (the last ones), as the monitor lists them.
  LineMonitorModel& LineRows() { return m_lineRows; }

 private:
  // The table for `cameraType`, every value at its default.
  void SetUpTable();
  // After the start-up read: the camera reports another model than chosen.
  void OfferReportedModel();
  // Below the error box of a start-up read that no camera answered: the
  // lines a camera does answer on ("A camera answers on COM2 at 19200 baud:
  // LOMIRA-S"), or nothing.
  std::string WhereACameraAnswers();
  void CreateDocumentWindow();

  CameraUnit& m_camera;
  ProfileStore& m_profile;
  // From the start-up read on, whether the monitor shows or not: opened
  // after a failure, it shows what went over the line.
  LineMonitorModel m_lineRows;
  LineDecoder m_lineDecoder;
  // Where the COM ports lead: the environment, else the profile's choices.
  ComPortDirectory m_comPorts;
  AppServices m_services;
  std::unique_ptr<QtUserPrompt> m_qtPrompt;
  std::unique_ptr<FileChooser> m_qtFiles;
  UserPrompt* m_prompt = nullptr;
  FileChooser* m_files = nullptr;
  std::unique_ptr<CTavrelDoc> m_document;
  std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace tavrel
