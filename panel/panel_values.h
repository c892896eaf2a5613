// What the control panel shows beside its scroll bars, per camera model: value
// texts, shutter preset captions, the camera timing figures and the scroll-bar
// step rules. No window system here, so every figure can be checked alone.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel::panel {

// One more than the model's highest partial-scan line; START + WIDTH never
// exceeds it. Camera types outside 0..6 get the LOMIRA-P/S figures.
int LineLimit(int cameraType);

// Captions of shutter buttons 1006..1013 (entry 1 values 1..8) for the model.
std::array<std::string_view, 8> ShutterPresetCaptions(int cameraType);

// Variable shutter (entry 15): exposure from 10 microseconds up, 256 linear
// steps per decade; "1/%.2f sec" below one second, "%.2f sec" from there.
std::string VariableShutterText(int value);
// Gain (entry 10) in decibels: the two sensor families use different steps.
std::string GainText(int cameraType, int value);
// Every other bar: the value with a blank on either side.
std::string PlainValueText(int value);

struct TimingFigures {
  int sync = 0;
  int bporch = 0;
  int active = 0;
  int fporch = 0;
  int total = 0;
};

TimingFigures HorizontalTiming(int cameraType);
// With partial scan off the model's fixed figures; with it on, the figures of
// the scan window START `start`, WIDTH `width`.
TimingFigures VerticalTiming(int cameraType, bool partialScanOn, int start, int width);

enum class ScrollRequest {
  kLineUp,
  kLineDown,
  kPageUp,
  kPageDown,
  kThumbPosition,  // released
  kThumbTrack,     // dragging
  kToTop,
  kToBottom,
  kEndScroll,
};

// The position a scroll request leads to from `position` within
// `minimum`..`maximum`, or nothing for the requests that do not move the bar.
// `carried` is the thumb's position for the thumb requests.
std::optional<int> NextScrollPosition(ScrollRequest request, int position, int minimum, int maximum,
                                      int carried);

}  // namespace tavrel::panel
