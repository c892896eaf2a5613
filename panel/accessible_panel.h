// The control panel as a screen reader hears it:
// - a scroll bar is named after its caption ("GAIN") and described by the
//   value text beside it ("3.5800 dB"); its Increase and Decrease actions are
//   line steps, written to the camera as an arrow click is; its value cannot
//   be set from outside, which would move the bar without the camera;
// - a value text is named after its caption and described by its value;
// - the panel leaves its hidden controls out.
#pragma once

namespace tavrel::panel {

// Installs the panel's interfaces once for the process, beside the
// program's own (ui/accessible_controls.h). Called before the panel makes
// its first control, so that none is seen through Qt's interface first.
void InstallAccessiblePanel();

}  // namespace tavrel::panel
