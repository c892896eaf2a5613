// The program's one top-level window: menu bar and accelerators, the control
// panel in the client area, and a status bar with a message pane and the COM
// port indicator.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QStringList>
#include <functional>

class QAction;
class QLabel;
class QMimeData;

namespace tavrel {

class CLineMonitor;
class CommPort;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kWidth = 684;
  static constexpr int kHeight = 440;

  // `link` feeds the port indicator and must outlive the frame.
  // `executableName` decides whether the service tools stay in the menu.
  CMainFrame(const CommPort& link, const QString& executableName, QWidget* parent = nullptr);

  // Puts `text` into the message pane and repaints the bar at once, so that
  // it shows while a camera exchange blocks the program.
  void SetStatusText(const QString& text);
  QString StatusText() const;
  // Refreshes the port indicator from the link (" ?" or "COM<n>"), and its
  // tooltip, which names the device.
  void UpdatePortIndicator();
  QString PortIndicatorText() const;
  QString PortIndicatorToolTip() const;

  // The client-area widget (the control panel).
  void SetView(QWidget* view);
  QWidget* View() const { return centralWidget(); }

  // Replaces the recent-file entries of the File menu.
  void SetRecentFiles(const QStringList& paths);

  // The menu item or accelerator with the command identifier (menu items
  // first), or null.
  QAction* FindAction(int commandId) const;
  QAction* FindAccelerator(int commandId) const;
  QMenu* InterfaceMenu() const { return m_interfaceMenu; }

  // The line monitor pane, which the frame shows and hides (menu item, key,
  // port indicator's context menu); null until set. F6 and Shift+F6 move the
  // keyboard between the panel and the monitor while it shows.
  void SetLineMonitor(CLineMonitor* monitor);
  CLineMonitor* LineMonitor() const { return m_lineMonitor; }
  // Shows it beside the window without taking the keyboard, or hides it
  // (the keyboard goes back to the panel if it was in the monitor).
  void ToggleLineMonitor();
  void ShowLineMonitor();
  // The port indicator's context menu while it is open, else null.
  QMenu* PortPaneMenu() const { return m_portPaneMenu; }

  // Asked before the window closes; false keeps it open.
  void SetCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }

  // What a drop onto the window does: the first local file is opened.
  // False when the data names no local file.
  bool OpenDroppedFiles(const QMimeData& data);

  static bool IsDeveloperName(const QString& executableName);

 signals:
  // A menu command or accelerator, by its identifier.
  void commandTriggered(int commandId);
  void recentFileChosen(const QString& path);
  void fileDropped(const QString& path);

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void BuildAccelerators();
  void BuildStatusBar();
  void RemoveServiceTools();
  void AddLineMonitorItem();
  void AddLineMonitorKey();
  void ShowPortPaneMenu(const QPoint& position);
  void MoveBetweenPanes();
  void ReturnToPanel();
  bool LineMonitorHasFocus() const;
  QAction* AddMenuItem(QMenu* menu, const QString& text, int commandId);
  void OnEditCommand(int commandId);

  const CommPort& m_link;
  // Whether an idle pass has seen a COM port open: until then the panel's
  // values came from no camera.
  bool m_portSeenOpen = false;
  QLabel* m_messagePane = nullptr;
  QLabel* m_portPane = nullptr;
  QMenu* m_fileMenu = nullptr;
  QMenu* m_interfaceMenu = nullptr;
  QAction* m_recentPlaceholder = nullptr;
  QList<QAction*> m_recentActions;
  QHash<int, QAction*> m_menuActions;
  QHash<int, QAction*> m_accelerators;
  std::function<bool()> m_closeGuard;
  CLineMonitor* m_lineMonitor = nullptr;
  QAction* m_lineMonitorItem = nullptr;  // in the menu under the service name only
  QPointer<QMenu> m_portPaneMenu;
  // Where the keyboard was in the panel when it went to the monitor.
  QPointer<QWidget> m_panelFocus;
};

}  // namespace tavrel
