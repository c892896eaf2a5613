// Which parameter entry each panel control shows and writes, and the rules
// that enable the controls depending on others. Pure data and functions, so
// the window code only looks them up.
#pragma once

#include <span>
#include <utility>
#include <vector>

namespace tavrel::panel {

enum class RadioGroup {
  kTriggerMode,
  kShutter,
  kTrigA,
  kTrigB,
  kHdReset,
  kDataBit,
  kAccel,
  kVdFval,
  kHdLval,
  kPartialScan,
};

struct RadioBinding {
  int controlId;
  RadioGroup group;
  int entry;
  int value;  // written when the button is clicked; shown when stored
};

struct BarBinding {
  int barId;
  int textId;
  int entry;
  bool vertical;
};

// Every radio button of the panel, group by group in the order the update
// from the document fills them.
std::span<const RadioBinding> RadioBindings();
// The binding of a radio button, or null.
const RadioBinding* FindRadioBinding(int controlId);
// The buttons of one group, in value order.
std::vector<RadioBinding> GroupButtons(RadioGroup group);

// The six scroll bars, in the order the update from the document shows them.
std::span<const BarBinding> BarBindings();
const BarBinding* FindBarBinding(int barId);

// (control id, enabled) pairs, applied in order.
using EnableList = std::vector<std::pair<int, bool>>;

// `checkedTriggerMode` is the checked trigger-mode button's id or 0 for none.
// The HD RESET section follows the trigger mode only on LOMIRA-P/S, PAVON-P/S
// and SOVELI-P/S; the other models keep it disabled in every trigger mode, so
// what it shows never depends on the modes clicked before.
EnableList TriggerModeRules(int checkedTriggerMode, bool variableChecked, int cameraType);
EnableList ShutterRules(bool variableChecked);
EnableList PartialScanRules(bool partialScanOn);

}  // namespace tavrel::panel
