#include "app/main_frame.h"
#include "ui/qt_strings.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTextEdit>
#include <array>

#include "app/command_ids.h"
#include "app/line_monitor.h"
#include "app/program_icon.h"
#include "link/comm_port.h"
#include "model/com_port_directory.h"
#include "res/string_table.h"
#include "ui/accessible_controls.h"

namespace tavrel {
namespace {

constexpr const char* kCommandProperty = "commandId";
// The executable name that keeps the service tools in the menu.
constexpr const char* kDeveloperName = "Marbleton service mode";

QString WindowTitle() {
  // First field of the document template string.
  return ui::LoadQString(res::kIdrMainFrame).section(QLatin1Char('\n'), 0, 0);
}

// The line edit that an edit command acts on: the focused one, or the one
// inside a focused spin box.
QLineEdit* FocusedLineEdit() {
  QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr) return nullptr;
  if (auto* edit = qobject_cast<QLineEdit*>(focus)) return edit;
  if (qobject_cast<QAbstractSpinBox*>(focus) != nullptr) return focus->findChild<QLineEdit*>();
  return nullptr;
}

}  // namespace

CMainFrame::CMainFrame(const CommPort& link, const QString& executableName, QWidget* parent)
    : QMainWindow(parent), m_link(link) {
  // Before the menus: their items speak through the program's interfaces.
  ui::InstallAccessibleControls();
  setWindowTitle(WindowTitle());
  setWindowIcon(ProgramIcon());
  resize(kWidth, kHeight);
  setAcceptDrops(true);
  BuildMenus();
  BuildAccelerators();
  BuildStatusBar();
  AddLineMonitorKey();
  if (IsDeveloperName(executableName)) {
    AddLineMonitorItem();
  } else {
    RemoveServiceTools();
  }
}

bool CMainFrame::IsDeveloperName(const QString& executableName) {
  const QString base = QFileInfo(executableName).completeBaseName();
  return base.compare(QLatin1String(kDeveloperName), Qt::CaseInsensitive) == 0;
}

QAction* CMainFrame::AddMenuItem(QMenu* menu, const QString& text, int commandId) {
  auto* action = menu->addAction(text);
  action->setProperty(kCommandProperty, commandId);
  action->setStatusTip(ui::LoadQString(static_cast<res::StringId>(commandId)));
  m_menuActions.insert(commandId, action);
  connect(action, &QAction::triggered, this,
          [this, commandId] { emit commandTriggered(commandId); });
  return action;
}

void CMainFrame::BuildMenus() {
  m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  AddMenuItem(m_fileMenu, QStringLiteral("&Open...\tCtrl+O"), cmd::kFileOpen);
  AddMenuItem(m_fileMenu, QStringLiteral("&Save\tCtrl+S"), cmd::kFileSave);
  AddMenuItem(m_fileMenu, QStringLiteral("Save &As..."), cmd::kFileSaveAs);
  m_fileMenu->addSeparator();
  m_recentPlaceholder = AddMenuItem(m_fileMenu, QStringLiteral("Recent File"), cmd::kFileMru1);
  m_recentPlaceholder->setEnabled(false);
  m_fileMenu->addSeparator();
  AddMenuItem(m_fileMenu, QStringLiteral("E&xit"), cmd::kAppExit);

  m_interfaceMenu = menuBar()->addMenu(QStringLiteral("&Interface"));
  AddMenuItem(m_interfaceMenu, QStringLiteral("Manual Command..."), cmd::kManualCommand);
  AddMenuItem(m_interfaceMenu, QStringLiteral("&Read From Camera\tCtrl+R"), cmd::kReadFromCamera);
  AddMenuItem(m_interfaceMenu, QStringLiteral("&Write To Camera\tCtrl+W"), cmd::kWriteToCamera);
  m_interfaceMenu->addSeparator();
  AddMenuItem(m_interfaceMenu, QStringLiteral("Seria&l Port...\tCtrl+L "), cmd::kSetupPort);
  AddMenuItem(m_interfaceMenu, QStringLiteral("Command Menu "), cmd::kCommandMenu);

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  AddMenuItem(help, QStringLiteral("&About TAVREL..."), cmd::kAppAbout);
}

void CMainFrame::BuildAccelerators() {
  struct Accelerator {
    QKeyCombination keys;
    int command;
  };
  const std::array<Accelerator, 17> table{{
      {Qt::CTRL | Qt::Key_C, cmd::kEditCopy},
      {Qt::CTRL | Qt::Key_L, cmd::kSetupPortKey},
      {Qt::CTRL | Qt::Key_N, cmd::kFileNew},
      {Qt::CTRL | Qt::Key_O, cmd::kFileOpen},
      {Qt::CTRL | Qt::Key_P, cmd::kCommandMenuKey},
      {Qt::CTRL | Qt::Key_R, cmd::kReadFromCameraKey},
      {Qt::CTRL | Qt::Key_S, cmd::kFileSave},
      {Qt::CTRL | Qt::Key_V, cmd::kEditPaste},
      {Qt::ALT | Qt::Key_Backspace, cmd::kEditUndo},
      {Qt::SHIFT | Qt::Key_Delete, cmd::kEditCut},
      {QKeyCombination(Qt::Key_F6), cmd::kNextPane},
      {Qt::SHIFT | Qt::Key_F6, cmd::kPrevPane},
      {Qt::CTRL | Qt::Key_Insert, cmd::kEditCopy},
      {Qt::SHIFT | Qt::Key_Insert, cmd::kEditPaste},
      {Qt::CTRL | Qt::Key_W, cmd::kWriteToCameraKey},
      {Qt::CTRL | Qt::Key_X, cmd::kEditCut},
      {Qt::CTRL | Qt::Key_Z, cmd::kEditUndo},
  }};
  for (const Accelerator& accelerator : table) {
    QAction* action = m_accelerators.value(accelerator.command);
    if (action == nullptr) {
      action = new QAction(this);
      action->setProperty(kCommandProperty, accelerator.command);
      action->setShortcutContext(Qt::WindowShortcut);
      addAction(action);
      m_accelerators.insert(accelerator.command, action);
      const int id = accelerator.command;
      const bool edit = id == cmd::kEditCopy || id == cmd::kEditCut || id == cmd::kEditPaste ||
                        id == cmd::kEditUndo;
      connect(action, &QAction::triggered, this, [this, id, edit] {
        if (edit) {
          OnEditCommand(id);
        } else if (id == cmd::kNextPane || id == cmd::kPrevPane) {
          MoveBetweenPanes();
        } else {
          emit commandTriggered(id);
        }
      });
    }
    QList<QKeySequence> keys = action->shortcuts();
    keys.append(QKeySequence(accelerator.keys));
    action->setShortcuts(keys);
  }
}

void CMainFrame::OnEditCommand(int commandId) {
  // The edit keys act on whichever kind of edit box has the focus.
  auto act = [commandId](auto* text) {
    switch (commandId) {
      case cmd::kEditCopy:
        text->copy();
        break;
      case cmd::kEditCut:
        text->cut();
        break;
      case cmd::kEditPaste:
        text->paste();
        break;
      case cmd::kEditUndo:
        text->undo();
        break;
    }
  };
  if (QLineEdit* edit = FocusedLineEdit()) {
    act(edit);
    return;
  }
  QWidget* focus = QApplication::focusWidget();
  if (auto* text = qobject_cast<QTextEdit*>(focus)) act(text);
  if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) act(text);
}

void CMainFrame::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("id%1").arg(cmd::kStatusBar));
  bar->setSizeGripEnabled(false);
  m_messagePane = new QLabel(bar);
  m_messagePane->setObjectName(QStringLiteral("messagePane"));
  bar->addWidget(m_messagePane, 1);
  m_portPane = new QLabel(bar);
  m_portPane->setObjectName(QStringLiteral("id%1").arg(cmd::kIndicatorPort));
  m_portPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  // Sized for "COM8" once; longer texts (COM10) do not widen it.
  const int margins = m_portPane->contentsMargins().left() + m_portPane->contentsMargins().right();
  m_portPane->setFixedWidth(
      m_portPane->fontMetrics().horizontalAdvance(ui::LoadQString(res::kIdsIndicatorPort)) +
      margins + 6);
  bar->addPermanentWidget(m_portPane);
  m_portPane->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_portPane, &QWidget::customContextMenuRequested, this, &CMainFrame::ShowPortPaneMenu);
  UpdatePortIndicator();
}

void CMainFrame::AddLineMonitorKey() {
  // A key of the program's own, beside the accelerator table, in either
  // name.
  auto* key = new QAction(this);
  key->setProperty(kCommandProperty, cmd::kLineMonitorKey);
  key->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  key->setShortcutContext(Qt::WindowShortcut);
  addAction(key);
  m_accelerators.insert(cmd::kLineMonitorKey, key);
  connect(key, &QAction::triggered, this, &CMainFrame::ToggleLineMonitor);
}

void CMainFrame::AddLineMonitorItem() {
  // After the service tools, at the end of the Interface menu.
  m_lineMonitorItem = m_interfaceMenu->addAction(QStringLiteral("Line Monitor"));
  m_lineMonitorItem->setProperty(kCommandProperty, cmd::kLineMonitor);
  m_lineMonitorItem->setStatusTip(
      QStringLiteral("Show Every Exchange On The Camera Line (Ctrl+M)"));
  m_lineMonitorItem->setCheckable(true);
  m_lineMonitorItem->setEnabled(m_lineMonitor != nullptr);
  m_menuActions.insert(cmd::kLineMonitor, m_lineMonitorItem);
  connect(m_lineMonitorItem, &QAction::triggered, this, &CMainFrame::ToggleLineMonitor);
}

void CMainFrame::ShowPortPaneMenu(const QPoint& position) {
  if (m_portPaneMenu) m_portPaneMenu->close();
  auto* menu = new QMenu(m_portPane);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->setAccessibleName(QStringLiteral("Port"));
  QAction* monitor = menu->addAction(QStringLiteral("Line Monitor\tCtrl+M"));
  monitor->setCheckable(true);
  monitor->setChecked(m_lineMonitor != nullptr && m_lineMonitor->isVisible());
  monitor->setEnabled(m_lineMonitor != nullptr);
  connect(monitor, &QAction::triggered, this, &CMainFrame::ToggleLineMonitor);
  m_portPaneMenu = menu;
  menu->popup(m_portPane->mapToGlobal(position));
}

void CMainFrame::SetLineMonitor(CLineMonitor* monitor) {
  m_lineMonitor = monitor;
  if (m_lineMonitorItem != nullptr) m_lineMonitorItem->setEnabled(monitor != nullptr);
  if (monitor == nullptr) return;
  addDockWidget(Qt::BottomDockWidgetArea, monitor);
  // A window of its own beside the panel at first, so the panel keeps its
  // size; it docks when the user drags it to an edge.
  monitor->setFloating(true);
  monitor->hide();
  connect(monitor, &QDockWidget::visibilityChanged, this, [this](bool) {
    if (m_lineMonitorItem != nullptr) m_lineMonitorItem->setChecked(m_lineMonitor->isVisible());
  });
}

void CMainFrame::ShowLineMonitor() {
  if (m_lineMonitor == nullptr) return;
  m_lineMonitor->ShowBeside();
  if (m_lineMonitorItem != nullptr) m_lineMonitorItem->setChecked(true);
}

void CMainFrame::ToggleLineMonitor() {
  if (m_lineMonitor == nullptr) return;
  if (!m_lineMonitor->isVisible()) {
    ShowLineMonitor();
    return;
  }
  const bool keyboardThere = LineMonitorHasFocus();
  m_lineMonitor->hide();
  if (m_lineMonitorItem != nullptr) m_lineMonitorItem->setChecked(false);
  if (keyboardThere) ReturnToPanel();
}

bool CMainFrame::LineMonitorHasFocus() const {
  const QWidget* focus = QApplication::focusWidget();
  return m_lineMonitor != nullptr && focus != nullptr && m_lineMonitor->isAncestorOf(focus);
}

void CMainFrame::MoveBetweenPanes() {
  if (m_lineMonitor == nullptr) return;
  if (LineMonitorHasFocus()) {
    ReturnToPanel();
    return;
  }
  if (!m_lineMonitor->isVisible()) return;
  m_panelFocus = QApplication::focusWidget();
  if (m_lineMonitor->isFloating()) m_lineMonitor->activateWindow();
  m_lineMonitor->Table()->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::ReturnToPanel() {
  activateWindow();
  QWidget* back = m_panelFocus != nullptr ? m_panelFocus.data() : View();
  if (back != nullptr) back->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::RemoveServiceTools() {
  for (int id : {cmd::kManualCommand, cmd::kSetupPort, cmd::kCommandMenu}) {
    if (QAction* action = m_menuActions.take(id)) {
      m_interfaceMenu->removeAction(action);
      action->deleteLater();
    }
  }
  // The separator that followed "Write To Camera".
  const QList<QAction*> items = m_interfaceMenu->actions();
  if (items.size() > 2) m_interfaceMenu->removeAction(items.at(2));
}

void CMainFrame::SetStatusText(const QString& text) {
  m_messagePane->setText(text);
  m_messagePane->repaint();
}

QString CMainFrame::StatusText() const {
  return m_messagePane->text();
}

void CMainFrame::UpdatePortIndicator() {
  m_portSeenOpen = m_portSeenOpen || m_link.IsPortOpen();
  const QString text = PortIndicatorText();
  m_portPane->setEnabled(true);
  if (m_portPane->text() != text) m_portPane->setText(text);
  const QString tip = PortIndicatorToolTip();
  if (m_portPane->toolTip() != tip) m_portPane->setToolTip(tip);
}

QString CMainFrame::PortIndicatorToolTip() const {
  const QString com = QStringLiteral("COM%1").arg(m_link.GetPortNumber());
  const QString device = QString::fromStdString(m_link.GetDevicePath());
  if (m_link.IsAwaitingReopen()) {
    return QStringLiteral("%1: %2 hung up; the next exchange with the camera opens it again")
        .arg(com, device);
  }
  if (!m_link.IsPortOpen()) {
    if (m_link.HasBoardConnection()) return QStringLiteral("No COM port open: a CameraLink board");
    // Where the panel's values come from while no camera answers.
    const QString values = m_portSeenOpen
                               ? QStringLiteral("the panel shows the values it had last")
                               : QStringLiteral(
                                     "nothing was read from a camera: the panel shows the model's\n"
                                     "default values (or those of the settings file opened)");
    return QStringLiteral("No COM port open; %1\nCtrl+L chooses another port").arg(values);
  }
  if (device.isEmpty()) return com;
  // A by-id name says which adapter; the device it leads to, where it is now.
  const std::string now = DeviceBehindLink(m_link.GetDevicePath());
  if (!now.empty()) {
    return QStringLiteral("%1: %2 (%3)").arg(com, device, QString::fromStdString(now));
  }
  return QStringLiteral("%1: %2").arg(com, device);
}

QString CMainFrame::PortIndicatorText() const {
  if (!m_link.IsPortOpen()) return QStringLiteral(" ?");
  return QStringLiteral("COM%1").arg(m_link.GetPortNumber());
}

void CMainFrame::SetView(QWidget* view) {
  setCentralWidget(view);
}

void CMainFrame::SetRecentFiles(const QStringList& paths) {
  for (QAction* action : m_recentActions) {
    m_fileMenu->removeAction(action);
    action->deleteLater();
  }
  m_recentActions.clear();
  m_recentPlaceholder->setVisible(paths.isEmpty());
  for (int i = 0; i < paths.size(); ++i) {
    const QString path = paths.at(i);
    auto* action = new QAction(
        QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)), m_fileMenu);
    action->setProperty(kCommandProperty, cmd::kFileMru1 + i);
    action->setStatusTip(ui::LoadQString(res::kIdsPromptRecentFile));
    m_fileMenu->insertAction(m_recentPlaceholder, action);
    connect(action, &QAction::triggered, this, [this, path] { emit recentFileChosen(path); });
    m_recentActions.append(action);
  }
}

QAction* CMainFrame::FindAction(int commandId) const {
  // The recent documents take the placeholder's place once there are any.
  for (QAction* action : m_recentActions) {
    if (action->property(kCommandProperty).toInt() == commandId) return action;
  }
  if (QAction* action = m_menuActions.value(commandId)) return action;
  return FindAccelerator(commandId);
}

QAction* CMainFrame::FindAccelerator(int commandId) const {
  return m_accelerators.value(commandId);
}

bool CMainFrame::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    // Menu prompts go to the message pane; leaving an item restores "Ready".
    const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
    SetStatusText(tip.isEmpty() ? ui::LoadQString(res::kIdsReady) : tip);
    return true;
  }
  return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (m_closeGuard && !m_closeGuard()) {
    event->ignore();
    return;
  }
  event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  if (OpenDroppedFiles(*event->mimeData())) event->acceptProposedAction();
}

bool CMainFrame::OpenDroppedFiles(const QMimeData& data) {
  // One document at a time: the first dropped file is opened.
  for (const QUrl& url : data.urls()) {
    if (url.isLocalFile()) {
      emit fileDropped(url.toLocalFile());
      return true;
    }
  }
  return false;
}

}  // namespace tavrel
