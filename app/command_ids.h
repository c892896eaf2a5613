// Command identifiers of the menus and the accelerator table. The numbers are
// the program's own and double as the string ids of the commands' prompts.
#pragma once

namespace tavrel::cmd {

inline constexpr int kSetupPortKey = 32771;  // Ctrl+L
inline constexpr int kSetupPort = 32772;
inline constexpr int kReadFromCamera = 32773;
inline constexpr int kReadFromCameraKey = 32774;  // Ctrl+R
inline constexpr int kWriteToCamera = 32775;
inline constexpr int kWriteToCameraKey = 32776;  // Ctrl+W
inline constexpr int kManualCommand = 32777;
inline constexpr int kCommandMenu = 32779;
inline constexpr int kCommandMenuKey = 32780;  // Ctrl+P

inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFileMru1 = 57616;  // 57616 .. 57631
inline constexpr int kFileMruLast = 57631;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditPaste = 57637;
inline constexpr int kEditUndo = 57643;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kNextPane = 57680;
inline constexpr int kPrevPane = 57681;

// The program's own: the line monitor, from the menu (service name only), its
// key (Ctrl+M) and the port indicator's context menu.
inline constexpr int kLineMonitor = 32800;
inline constexpr int kLineMonitorKey = 32801;

inline constexpr int kIndicatorPort = 59142;
inline constexpr int kStatusBar = 59393;

// The handler's command for an accelerator that shares a menu item's handler.
constexpr int HandlerCommand(int id) {
  switch (id) {
    case kSetupPortKey:
      return kSetupPort;
    case kReadFromCameraKey:
      return kReadFromCamera;
    case kWriteToCameraKey:
      return kWriteToCamera;
    case kCommandMenuKey:
      return kCommandMenu;
    default:
      return id;
  }
}

}  // namespace tavrel::cmd
