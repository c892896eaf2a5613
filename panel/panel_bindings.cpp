#include "panel/panel_bindings.h"

#include <array>

#include "panel/panel_ids.h"

namespace tavrel::panel {
namespace {

constexpr RadioBinding kRadios[] = {
    {kTriggerOff, RadioGroup::kTriggerMode, kEntryTriggerMode, 0},
    {kTriggerFixedShutter, RadioGroup::kTriggerMode, kEntryTriggerMode, 1},
    {kTrigger1Trigger, RadioGroup::kTriggerMode, kEntryTriggerMode, 2},
    {kTriggerResetControl, RadioGroup::kTriggerMode, kEntryTriggerMode, 3},
    {kTriggerVdReset, RadioGroup::kTriggerMode, kEntryTriggerMode, 4},
    {kTrigAPosi, RadioGroup::kTrigA, kEntryTrigAPolarity, 0},
    {kTrigANega, RadioGroup::kTrigA, kEntryTrigAPolarity, 1},
    {kTrigBPosi, RadioGroup::kTrigB, kEntryTrigBPolarity, 0},
    {kTrigBNega, RadioGroup::kTrigB, kEntryTrigBPolarity, 1},
    {kHdNonReset, RadioGroup::kHdReset, kEntryHdReset, 0},
    {kHdReset, RadioGroup::kHdReset, kEntryHdReset, 1},
    {kDataBit8, RadioGroup::kDataBit, kEntryDataBit, 0},
    {kDataBit10, RadioGroup::kDataBit, kEntryDataBit, 1},
    {kAccelOff, RadioGroup::kAccel, kEntryAccel, 0},
    {kAccelOn, RadioGroup::kAccel, kEntryAccel, 1},
    {kVd, RadioGroup::kVdFval, kEntryVdFval, 0},
    {kFval, RadioGroup::kVdFval, kEntryVdFval, 1},
    {kHd, RadioGroup::kHdLval, kEntryHdLval, 0},
    {kLval, RadioGroup::kHdLval, kEntryHdLval, 1},
    {kPartialScanOff, RadioGroup::kPartialScan, kEntryPartialScan, 0},
    {kPartialScanOn, RadioGroup::kPartialScan, kEntryPartialScan, 1},
    {kShutterOff, RadioGroup::kShutter, kEntryShutter, 0},
    {1006, RadioGroup::kShutter, kEntryShutter, 1},
    {1007, RadioGroup::kShutter, kEntryShutter, 2},
    {1008, RadioGroup::kShutter, kEntryShutter, 3},
    {1009, RadioGroup::kShutter, kEntryShutter, 4},
    {1010, RadioGroup::kShutter, kEntryShutter, 5},
    {1011, RadioGroup::kShutter, kEntryShutter, 6},
    {1012, RadioGroup::kShutter, kEntryShutter, 7},
    {1013, RadioGroup::kShutter, kEntryShutter, 8},
    // The camera selects its variable shutter with 255, not 9.
    {kShutterVariable, RadioGroup::kShutter, kEntryShutter, kShutterVariableValue},
};

constexpr BarBinding kBars[] = {
    {kGainBar, kGainText, kEntryGain, false},
    {kAdjustGainBar, kAdjustGainText, kEntryAdjustGain, false},
    {kBlackLevelBar, kBlackLevelText, kEntryBlackLevel, false},
    {kVariableShutterBar, kVariableShutterText, kEntryVariableShutter, false},
    {kStartBar, kStartText, kEntryPartialStart, true},
    {kWidthBar, kWidthText, kEntryPartialWidth, true},
};

void AddAll(EnableList& list, std::initializer_list<int> ids, bool enabled) {
  for (int id : ids) list.emplace_back(id, enabled);
}

}  // namespace

std::span<const RadioBinding> RadioBindings() {
  return kRadios;
}

const RadioBinding* FindRadioBinding(int controlId) {
  for (const RadioBinding& binding : kRadios) {
    if (binding.controlId == controlId) return &binding;
  }
  return nullptr;
}

std::vector<RadioBinding> GroupButtons(RadioGroup group) {
  std::vector<RadioBinding> buttons;
  for (const RadioBinding& binding : kRadios) {
    if (binding.group == group) buttons.push_back(binding);
  }
  return buttons;
}

std::span<const BarBinding> BarBindings() {
  return kBars;
}

const BarBinding* FindBarBinding(int barId) {
  for (const BarBinding& binding : kBars) {
    if (binding.barId == barId) return &binding;
  }
  return nullptr;
}

EnableList TriggerModeRules(int checkedTriggerMode, bool variableChecked, int cameraType) {
  EnableList list;
  const bool shutterFree = checkedTriggerMode == kTriggerOff ||
                           checkedTriggerMode == kTriggerFixedShutter ||
                           checkedTriggerMode == kTriggerVdReset;
  for (int id = kShutterOff; id <= kShutterVariable; ++id) list.emplace_back(id, shutterFree);
  list.emplace_back(kShutterGroup, shutterFree);

  bool polarity = true;
  bool trigA = true;
  bool trigB = false;
  bool hdReset = cameraType >= 0 && cameraType <= 2;
  if (checkedTriggerMode == kTriggerOff) {
    polarity = trigA = trigB = hdReset = false;
  } else if (checkedTriggerMode == kTriggerResetControl) {
    trigB = true;
  } else if (checkedTriggerMode == kTriggerVdReset) {
    hdReset = false;
  }
  list.emplace_back(kPolarityGroup, polarity);
  AddAll(list, {kTrigAGroup, kTrigAPosi, kTrigANega}, trigA);
  AddAll(list, {kTrigBGroup, kTrigBPosi, kTrigBNega}, trigB);
  AddAll(list, {kHdResetGroup, kHdNonReset, kHdReset}, hdReset);

  const EnableList variable = ShutterRules(variableChecked);
  list.insert(list.end(), variable.begin(), variable.end());
  return list;
}

EnableList ShutterRules(bool variableChecked) {
  EnableList list;
  AddAll(list, {kVariableShutterBar, kVariableShutterText, kVariableValueLabel}, variableChecked);
  return list;
}

EnableList PartialScanRules(bool partialScanOn) {
  EnableList list;
  AddAll(list, {kStartBar, kWidthBar, kStartText, kWidthText, kStartLabel, kWidthLabel},
         partialScanOn);
  return list;
}

}  // namespace tavrel::panel
