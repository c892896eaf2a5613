// Message boxes and the status-bar text of the window program.
#pragma once

#include <functional>

#include "link/user_prompt.h"

class QWidget;

namespace tavrel {

class CMainFrame;

class QtUserPrompt : public UserPrompt {
 public:
  MessageAnswer ShowMessage(const MessageRequest& request) override;
  bool HasMainWindow() const override { return m_frame != nullptr; }
  void SetStatusText(const std::string& text) override;

  // The frame once it exists (null again when it goes).
  void SetMainFrame(CMainFrame* frame) { m_frame = frame; }

 private:
  CMainFrame* m_frame = nullptr;
};

// A box with the application's caption, an OK button and the exclamation
// icon: the framework's standard message box.
MessageRequest StandardMessage(const std::string& text);

}  // namespace tavrel
