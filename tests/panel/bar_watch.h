// What the panel's bar tests watch: the writes an entry got, whether a bar
// repeats on its own, and a message box that stays up while a held bar could
// repeat behind it.
#pragma once

#include <QAbstractEventDispatcher>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <string>

#include "tests/panel/panel_rig.h"
#include "tests/support/recording_prompt.h"

namespace tavrel::testing {

// Writes of the entry the camera object started (each puts its status text).
inline int WritesOf(const PanelRig& rig, int entry, const RecordingPrompt& prompt) {
  const std::string sending = "Sending " + rig.camera.GetName(entry) + " data to camera...";
  return static_cast<int>(
      std::count(prompt.statusTexts.begin(), prompt.statusTexts.end(), sending));
}
inline int WritesOf(const PanelRig& rig, int entry) {
  return WritesOf(rig, entry, rig.prompt);
}

// Whether the bar runs a timer of its own: its auto-repeat while an arrow,
// the trough or a key is held.
inline bool Repeating(QScrollBar* bar) {
  return !QAbstractEventDispatcher::instance()->registeredTimers(bar).isEmpty();
}

// A message box runs its own event loop while it is up. This one keeps the
// loop running until the pressed bar has had the chance to repeat its action
// (or has stopped repeating), as a user reading the box would give it.
struct BoxWithEventLoop : RecordingPrompt {
  explicit BoxWithEventLoop(QScrollBar* pressedBar) : bar(pressedBar) {}
  MessageAnswer ShowMessage(const MessageRequest& request) override {
    const MessageAnswer answer = RecordingPrompt::ShowMessage(request);
    if (messages.size() == 1) {
      QSignalSpy actions(bar, &QAbstractSlider::actionTriggered);
      settled = QTest::qWaitFor([&] { return !actions.isEmpty() || !Repeating(bar); }, 5000);
    }
    return answer;
  }
  QScrollBar* bar;
  bool settled = false;  // the bar repeated or stopped while the box was up
};

}  // namespace tavrel::testing
