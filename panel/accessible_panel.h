// The control panel as a screen reader hears it:
// - a scroll bar is named after its caption ("GAIN") and described by the
//   value text beside it ("3.5800 dB"); its Increase and Decrease actions are
//   line steps, written to the camera as an arrow click is; its value cannot
//   be set from outside, which would move the bar without the camera;
// - a value text is named after its caption and described by its value;
// - the panel leaves its hidden controls out.
#pragma once

class QAccessibleInterface;
class QObject;

namespace tavrel::panel {

// The interface for one of the panel's bars, value texts or the panel
// itself; null for anything else.
QAccessibleInterface* PanelAccessible(QObject* object);

}  // namespace tavrel::panel
