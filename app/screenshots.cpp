#include "app/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include "app/about_dlg.h"
#include "app/command_menu_dlg.h"
#include "app/file_chooser.h"
#include "app/line_monitor.h"
#include "app/line_monitor_model.h"
#include "app/main_frame.h"
#include "app/manual_command_dlg.h"
#include "app/select_comm_dlg.h"
#include "app/serial_port_dlg.h"
#include "model/camera_unit.h"

namespace tavrel {
namespace {

bool Save(QWidget& widget, const QString& path) {
  widget.show();
  QApplication::processEvents();
  const bool saved = widget.grab().save(path);
  widget.hide();
  return saved;
}

}  // namespace

bool SaveScreenshots(const QString& directory, CMainFrame& frame, CameraUnit& camera) {
  QDir().mkpath(directory);
  const QDir dir(directory);
  bool ok = Save(frame, dir.filePath(QStringLiteral("main_window.png")));
  frame.show();
  {
    // The dialog sets the camera type when it opens; the running program
    // keeps its own.
    const int type = cameraType;
    QtFileChooser files;
    CSelectCommDlg dialog(files);
    ok = Save(dialog, dir.filePath(QStringLiteral("select_comm.png"))) && ok;
    cameraType = type;
  }
  {
    CSerialPortDlg dialog(camera.GetPortNumber(), camera.GetBaudRate());
    ok = Save(dialog, dir.filePath(QStringLiteral("serial_port.png"))) && ok;
  }
  {
    CManualCommandDlg dialog(camera, &frame);
    ok = Save(dialog, dir.filePath(QStringLiteral("manual_command.png"))) && ok;
  }
  {
    CAboutDlg dialog;
    ok = Save(dialog, dir.filePath(QStringLiteral("about.png"))) && ok;
  }
  {
    CCommandMenuDlg dialog(camera);  // sends nothing until a button is pressed
    ok = Save(dialog, dir.filePath(QStringLiteral("command_menu.png"))) && ok;
  }
  if (CLineMonitor* monitor = frame.LineMonitor()) {
    // The start-up read's exchanges, listed at once.
    monitor->Rows().Publish();
    const bool shown = monitor->isVisible();
    monitor->ShowBeside();
    ok = Save(*monitor, dir.filePath(QStringLiteral("line_monitor.png"))) && ok;
    if (shown) monitor->show();
  }
  return ok;
}

}  // namespace tavrel
