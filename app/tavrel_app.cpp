#include "app/tavrel_app.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>

#include "app/about_dlg.h"
#include "app/command_ids.h"
#include "app/file_chooser.h"
#include "app/line_monitor.h"
#include "app/main_frame.h"
#include "app/qt_user_prompt.h"
#include "app/tavrel_doc.h"
#include "app/view_factory.h"
#include "model/camera_find.h"
#include "model/camera_unit.h"
#include "model/link_choice.h"
#include "model/program_message.h"
#include "model/reported_model.h"
#include "model/reported_model_read.h"
#include "res/string_table.h"
#include "ui/profile_store.h"

namespace tavrel {
namespace {

const QString kSettingsSection = QStringLiteral("Settings");
const QString kComPortEntry = QStringLiteral("COM Port");

}  // namespace

CTavrelApp::CTavrelApp(CameraUnit& camera, ProfileStore& profile, AppServices services)
    : m_camera(camera),
      m_profile(profile),
      m_lineDecoder(camera, [this](LineRow&& row) { m_lineRows.Add(std::move(row)); }),
      m_comPorts(profile.FileName().toStdString()),
      m_services(std::move(services)) {
  if (m_services.prompt != nullptr) {
    m_prompt = m_services.prompt;
  } else {
    m_qtPrompt = std::make_unique<QtUserPrompt>();
    m_prompt = m_qtPrompt.get();
  }
  if (m_services.files != nullptr) {
    m_files = m_services.files;
  } else {
    m_qtFiles = std::make_unique<QtFileChooser>();
    m_files = m_qtFiles.get();
  }
  if (!m_services.runDialog) m_services.runDialog = ModalDialogRunner();
  m_camera.SetUserPrompt(m_prompt);
  m_camera.SetComPortResolver(m_comPorts.Resolver());
  // The Serial Port item is in the menu only under the service name; its
  // shortcut works under every name.
  m_camera.SetPortNotOpenedHint("Ctrl+L chooses another port.");
  m_camera.WatchLine(&m_lineDecoder);
}

CTavrelApp::~CTavrelApp() {
  if (m_qtPrompt) m_qtPrompt->SetMainFrame(nullptr);
  m_frame.reset();
  m_document.reset();
  // The last port number a serial open was asked for, whether it opened or not.
  m_profile.WriteProfileInt(kSettingsSection, kComPortEntry, m_camera.GetPortNumber());
  if (m_camera.GetUserPrompt() == m_prompt) m_camera.SetUserPrompt(nullptr);
  m_camera.WatchLine(nullptr);
}

CTavrelApp::StartResult CTavrelApp::InitInstance(const StartOptions& options) {
  CommSelection selection;
  if (options.preset) {
    selection = *options.preset;
    cameraType = options.presetCameraType;
  } else {
    CSelectCommDlg dialog(*m_files);
    dialog.OfferComPortMenus({&m_comPorts, m_services.runDialog, /*offerFindCamera=*/true});
    m_services.runDialog(dialog);
    selection = dialog.Selection();
  }
  if (!selection.opened) return StartResult::kCancelled;

  SetUpTable();

  if (m_services.beforeLinkOpens) m_services.beforeLinkOpens(cameraType);
  const LinkChoice link = ChosenLink(selection);
  OpenLink(m_camera, link);

  // The start-up read: always on a board; on a COM port only when it opened
  // and no settings file is about to replace the values.
  const bool board = link.kind == LinkChoice::Kind::kBoard;
  if (board || (options.document.isEmpty() && m_camera.IsPortOpen())) {
    if (!board) m_camera.SetNoAnswerHint([this] { return WhereACameraAnswers(); });
    const std::int32_t read = m_camera.ReadAllParameters();
    m_camera.SetNoAnswerHint(nullptr);
    if (read >= 0) OfferReportedModel();
  }

  CreateDocumentWindow();
  if (options.document.isEmpty()) {
    emit m_document->initialUpdate();
  } else if (!m_document->OpenDocumentFile(options.document)) {
    m_camera.Close();
    if (m_qtPrompt) m_qtPrompt->SetMainFrame(nullptr);
    m_frame.reset();
    m_document.reset();
    return StartResult::kFailed;
  }

  if (m_services.showWindow) {
    m_frame->show();
    m_frame->repaint();
  }
  if (options.lineMonitor) m_frame->ShowLineMonitor();
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &CTavrelApp::OnIdle);
  }
  OnIdle();
  return StartResult::kRunning;
}

void CTavrelApp::SetUpTable() {
  m_camera.InitTable();
  for (int index = 0; index < kParameterCount; ++index) m_camera.ResetValue(index);
}

// Before anything is written: the camera says it is another of the models
// than the one chosen. Starting again as that model sets the table up for it
// and reads the camera again on the link already open; the user is asked
// once.
void CTavrelApp::OfferReportedModel() {
  const std::optional<std::string> reported = ReportedModelNameAfterReadAll(m_camera);
  if (!reported) return;
  const std::string warning = WrongModelWarning(*reported, cameraType);
  if (warning.empty()) return;
  const int reportedType = CameraTypeNamedBy(*reported);
  const MessageRequest offer = ProgramMessage(warning + "\n" + StartAgainQuestion(reportedType),
                                              MessageIcon::kExclamation, MessageButtons::kYesNo);
  if (m_prompt->ShowMessage(offer) != MessageAnswer::kYes) return;
  cameraType = reportedType;
  SetUpTable();
  m_camera.ReadAllParameters();
}

// The port is let go while the lines are probed (its device among them, at
// the other rates), then opened again as it was.
std::string CTavrelApp::WhereACameraAnswers() {
  const std::string device = m_camera.GetDevicePath();
  if (device.empty()) return {};
  const std::int32_t port = m_camera.GetPortNumber();
  const std::int32_t baud = m_camera.GetBaudRate();
  m_camera.Close();
  const CameraSearch search = FindCameras(m_comPorts);
  m_camera.OpenSerial(port, baud);
  std::string hint = CameraAnswersHint(search);
  if (!hint.empty()) hint.pop_back();  // the last line's "\n"
  return hint;
}

void CTavrelApp::CreateDocumentWindow() {
  m_document = std::make_unique<CTavrelDoc>(m_camera, *m_prompt, *m_files, m_profile, m_comPorts);
  QString executable = m_services.executableName;
  // Not applicationFilePath(): that resolves a link to the file it names.
  if (executable.isEmpty()) executable = QCoreApplication::arguments().value(0);
  m_frame = std::make_unique<CMainFrame>(m_camera, executable);
  m_frame->SetView(CreateView(*m_document, m_profile, m_frame.get()));
  m_frame->SetLineMonitor(new CLineMonitor(m_lineRows, *m_files, *m_prompt, m_frame.get()));
  m_document->SetDialogHost(m_frame.get(), m_services.runDialog);
  m_frame->SetRecentFiles(m_document->RecentFiles());
  if (m_qtPrompt) m_qtPrompt->SetMainFrame(m_frame.get());

  CTavrelDoc* document = m_document.get();
  connect(m_frame.get(), &CMainFrame::commandTriggered, this, &CTavrelApp::OnCommand);
  connect(m_frame.get(), &CMainFrame::recentFileChosen, document, &CTavrelDoc::OpenRecentFile);
  connect(m_frame.get(), &CMainFrame::fileDropped, document, &CTavrelDoc::OpenDocumentFile);
  connect(document, &CTavrelDoc::recentFilesChanged, m_frame.get(), &CMainFrame::SetRecentFiles);
  m_frame->SetCloseGuard([document] { return document->SaveModified(); });
}

void CTavrelApp::OnIdle() {
  // A modal box or dialog runs its own loop: the pane keeps the text that
  // explains it (as does an open menu its item's prompt).
  if (!m_frame || QApplication::activeModalWidget() != nullptr) return;
  if (QApplication::activePopupWidget() == nullptr) {
    const QString ready = QString::fromStdString(res::FormatMessage(res::kIdsReady, {""}));
    if (m_frame->StatusText() != ready) m_frame->SetStatusText(ready);
  }
  m_frame->UpdatePortIndicator();
}

void CTavrelApp::OnAppAbout() {
  CAboutDlg about(m_frame.get());
  m_services.runDialog(about);
}

void CTavrelApp::OnCommand(int commandId) {
  switch (commandId) {
    case cmd::kFileNew:
      m_document->OnFileNew();
      return;
    case cmd::kFileOpen:
      m_document->OnFileOpen();
      return;
    case cmd::kAppAbout:
      OnAppAbout();
      return;
    case cmd::kAppExit:
      m_frame->close();
      return;
    default:
      m_document->OnCommand(commandId);
      return;
  }
}

}  // namespace tavrel
