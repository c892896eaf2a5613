// Control identifiers of the control panel's form (dialog template 144).
// Tests, accessibility and the identification functions find controls by them.
#pragma once

namespace tavrel::panel {

inline constexpr int kFormTemplateId = 144;
inline constexpr int kFormWidthUnits = 383;
inline constexpr int kFormHeightUnits = 244;

// Shutter speed: OFF, eight presets, VARIABLE.
inline constexpr int kShutterOff = 1005;
inline constexpr int kShutterFirstPreset = 1006;
inline constexpr int kShutterLastPreset = 1013;
inline constexpr int kShutterVariable = 1014;
// Partial scan OFF / ON.
inline constexpr int kPartialScanOff = 1015;
inline constexpr int kPartialScanOn = 1016;
// Scroll bars and their value texts.
inline constexpr int kGainBar = 1024;
inline constexpr int kGainText = 1025;
inline constexpr int kAdjustGainBar = 1026;
inline constexpr int kAdjustGainText = 1027;
inline constexpr int kBlackLevelBar = 1028;
inline constexpr int kBlackLevelText = 1029;
inline constexpr int kStartText = 1030;
inline constexpr int kWidthText = 1031;
inline constexpr int kVariableShutterBar = 1046;
inline constexpr int kVariableShutterText = 1047;
inline constexpr int kStartBar = 1112;
inline constexpr int kWidthBar = 1113;
// Camera timing texts.
inline constexpr int kVerticalBporchText = 1032;
inline constexpr int kVerticalActiveText = 1033;
inline constexpr int kVerticalFporchText = 1034;
inline constexpr int kVerticalTotalText = 1035;
inline constexpr int kHorizontalBporchText = 1036;
inline constexpr int kHorizontalActiveText = 1037;
inline constexpr int kHorizontalFporchText = 1038;
inline constexpr int kHorizontalTotalText = 1039;
inline constexpr int kVerticalSyncText = 1154;
inline constexpr int kHorizontalSyncText = 1155;
// Trigger mode: OFF, FIXED SHUTTER, 1TRIGGER, RESET CONTROL, VD RESET.
inline constexpr int kTriggerOff = 1066;
inline constexpr int kTriggerFixedShutter = 1067;
inline constexpr int kTrigger1Trigger = 1068;
inline constexpr int kTriggerResetControl = 1069;
inline constexpr int kTriggerVdReset = 1070;
// HD reset.
inline constexpr int kHdNonReset = 1097;
inline constexpr int kHdReset = 1098;
// Labels and group boxes.
inline constexpr int kAdjustGainLabel = 1103;
inline constexpr int kBlackLevelLabel = 1105;
inline constexpr int kVariableValueLabel = 1107;
inline constexpr int kShutterGroup = 1108;
inline constexpr int kPolarityGroup = 1109;
inline constexpr int kHdResetGroup = 1110;
inline constexpr int kBackUpButton = 1111;
inline constexpr int kPartialScanGroup = 1114;
inline constexpr int kStartLabel = 1117;
inline constexpr int kWidthLabel = 1118;
inline constexpr int kTrigAGroup = 1121;
inline constexpr int kTrigBGroup = 1122;
// Trigger polarity.
inline constexpr int kTrigAPosi = 1115;
inline constexpr int kTrigANega = 1116;
inline constexpr int kTrigBPosi = 1119;
inline constexpr int kTrigBNega = 1120;
// Service controls: serial number and identification read.
inline constexpr int kSerialNumberEdit = 1125;
inline constexpr int kSerialWriteButton = 1126;
inline constexpr int kSerialSpin = 1127;
inline constexpr int kIdentReadButton = 1129;
inline constexpr int kVendorNameText = 1130;
inline constexpr int kModelNameText = 1131;
inline constexpr int kSerialNumberText = 1132;
inline constexpr int kVersionText = 1133;
inline constexpr int kIdentGroup = 1148;
inline constexpr int kVendorNameLabel = 1149;
inline constexpr int kModelNameLabel = 1150;
inline constexpr int kSerialNumberLabel = 1151;
inline constexpr int kVersionLabel = 1152;
inline constexpr int kSerialGroup = 1153;
// 2xACCEL, data bit, VD/FVAL, HD/LVAL.
inline constexpr int kAccelOff = 1157;
inline constexpr int kAccelOn = 1158;
inline constexpr int kAccelGroup = 1159;
inline constexpr int kDataBit8 = 1176;
inline constexpr int kDataBit10 = 1177;
inline constexpr int kVd = 1178;
inline constexpr int kFval = 1179;
inline constexpr int kHd = 1180;
inline constexpr int kLval = 1181;

// Parameter entries the panel shows and writes.
inline constexpr int kEntryShutter = 1;
inline constexpr int kEntryTriggerMode = 2;
inline constexpr int kEntryTrigAPolarity = 3;
inline constexpr int kEntryTrigBPolarity = 4;
inline constexpr int kEntryHdReset = 5;
inline constexpr int kEntryDataBit = 6;
inline constexpr int kEntryGain = 10;
inline constexpr int kEntryAdjustGain = 11;
inline constexpr int kEntryBlackLevel = 12;
inline constexpr int kEntryVariableShutter = 15;
inline constexpr int kEntryAccel = 17;
inline constexpr int kEntryVdFval = 21;
inline constexpr int kEntryHdLval = 22;
inline constexpr int kEntryBackUp = 23;
inline constexpr int kEntryPartialScan = 24;
inline constexpr int kEntryPartialStart = 25;
inline constexpr int kEntryPartialWidth = 26;

// The shutter entry's value that selects the variable shutter.
inline constexpr int kShutterVariableValue = 255;

// Hidden once the panel is filled; tests and the panel pictures show them to
// reach the service functions behind them.
inline constexpr int kServiceControls[] = {
    kAdjustGainLabel,   kAdjustGainBar,     kAdjustGainText, kSerialGroup,     kSerialNumberEdit,
    kSerialSpin,        kSerialWriteButton, kIdentGroup,     kVendorNameLabel, kModelNameLabel,
    kSerialNumberLabel, kVersionLabel,      kVendorNameText, kModelNameText,   kSerialNumberText,
    kVersionText,       kIdentReadButton,
};

// Timer started at creation.
inline constexpr int kTimerId = 1;
inline constexpr int kTimerIntervalMs = 100;

}  // namespace tavrel::panel
