// Pictures of the main window and the dialogs, for looking at the layout.
#pragma once

#include <QString>

namespace tavrel {

class CMainFrame;
class CameraUnit;

// Saves main_window.png, select_comm.png, serial_port.png, manual_command.png,
// command_menu.png and about.png in `directory`. False when a file could not
// be written. Nothing is sent to the camera.
bool SaveScreenshots(const QString& directory, CMainFrame& frame, CameraUnit& camera);

}  // namespace tavrel
