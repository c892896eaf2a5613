// A UserPrompt for tests: records every message box and status text, and
// answers boxes from a queue (default: OK / the first button) without blocking.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "link/user_prompt.h"

namespace tavrel::testing {

class RecordingPrompt : public UserPrompt {
 public:
  MessageAnswer ShowMessage(const MessageRequest& request) override {
    messages.push_back(request);
    if (!answers.empty()) {
      const MessageAnswer answer = answers.front();
      answers.pop_front();
      return answer;
    }
    switch (request.buttons) {
      case MessageButtons::kYesNo:
      case MessageButtons::kYesNoCancel:
        return MessageAnswer::kYes;
      case MessageButtons::kOk:
      case MessageButtons::kOkCancel:
        break;
    }
    return MessageAnswer::kOk;
  }
  bool HasMainWindow() const override { return mainWindow; }
  void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
  }

  bool mainWindow = true;
  std::vector<MessageRequest> messages;
  std::vector<std::string> statusTexts;
  std::deque<MessageAnswer> answers;  // given to the next boxes, in order
};

}  // namespace tavrel::testing
