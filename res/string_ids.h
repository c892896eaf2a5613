// Numeric identifiers of the program's string table. The numbers are part of
// the program's interface (the same ids name the same texts everywhere), so
// they never change.
#pragma once

#include <cstdint>

namespace res {

using StringId = std::uint32_t;

// Document template string: seven fields separated by '\n'.
inline constexpr StringId kIdrMainFrame = 128;

// Command prompts: the id of a menu command names its status-bar prompt.
inline constexpr StringId kIdsPromptSetupPort = 32772;
inline constexpr StringId kIdsPromptReadFromCamera = 32773;
inline constexpr StringId kIdsPromptWriteToCamera = 32775;
inline constexpr StringId kIdsPromptManualCommand = 32777;
inline constexpr StringId kIdsPromptCommandMenu = 32779;
inline constexpr StringId kIdsPromptFileOpen = 57601;
inline constexpr StringId kIdsPromptFileSave = 57603;
inline constexpr StringId kIdsPromptFileSaveAs = 57604;
inline constexpr StringId kIdsPromptRecentFile = 57616;
inline constexpr StringId kIdsPromptAbout = 57664;
inline constexpr StringId kIdsPromptExit = 57665;
// Sizing text of the status bar's port indicator ("COM8").
inline constexpr StringId kIdsIndicatorPort = 59142;

// Application and framework texts.
inline constexpr StringId kIdsAppName = 57344;     // " TAVREL CONTROL"
inline constexpr StringId kIdsCompanyKey = 57346;  // "Talbrook"
inline constexpr StringId kIdsUntitled = 61443;
inline constexpr StringId kIdsFailedToOpenDoc = 61697;
inline constexpr StringId kIdsFailedToSaveDoc = 61698;
inline constexpr StringId kIdsAskToSave = 61699;  // "Save changes to %1?"
inline constexpr StringId kIdsUnexpectedFormat = 61728;

// Camera messages.
inline constexpr StringId kIdsUploading = 62000;  // "Uploading %1 data from camera..."
inline constexpr StringId kIdsSending = 62001;    // "Sending %1 data to camera..."
inline constexpr StringId kIdsReady = 62002;
inline constexpr StringId kIdsFileTypeMismatch = 62100;
inline constexpr StringId kIdsErrorCode0 = 62101;  // codes 0..25 are 62101..62126
inline constexpr StringId kIdsErrorFormat = 62127;  // "ERROR - %1"
inline constexpr StringId kIdsErrorCode26 = 62128;
inline constexpr StringId kIdsErrorCode27 = 62129;

// Parameter names are 62200..62286 (see the parameter table).

// Control panel texts.
inline constexpr StringId kIdsTimerCreationFailed = 63900;  // "Error: Timer creation failed!"
inline constexpr StringId kIdsPanelTrigger = 63901;  // "TRIGGER"
inline constexpr StringId kIdsPanelMode = 63902;  // "MODE"
inline constexpr StringId kIdsPanelBackUp = 63903;  // "BACK UP"
inline constexpr StringId kIdsPanelDataBit = 63904;  // "DATA BIT"
inline constexpr StringId kIdsPanelVdFval = 63905;  // "VD/FVAL"
inline constexpr StringId kIdsPanelHdLval = 63906;  // "HD/LVAL"
inline constexpr StringId kIdsPanelGain = 63907;  // "GAIN"
inline constexpr StringId kIdsPanelCameraTiming = 63908;  // "CAMERA TIMING"
inline constexpr StringId kIdsPanelHorizontal = 63909;  // "Horizontal"
inline constexpr StringId kIdsPanelVertical = 63910;  // "Vertical"
inline constexpr StringId kIdsPanelSync = 63911;  // "Sync"
inline constexpr StringId kIdsPanelBporch = 63912;  // "Bporch"
inline constexpr StringId kIdsPanelActive = 63913;  // "Active"
inline constexpr StringId kIdsPanelFporch = 63914;  // "Fporch"
inline constexpr StringId kIdsPanelTotal = 63915;  // "Total"
// Caption of the control panel's control N is kIdsPanelControlBase + N.
inline constexpr StringId kIdsPanelControlBase = 64000;

}  // namespace res
