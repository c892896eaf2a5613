// Message boxes and the status-bar text of the window program.
#pragma once

#include <functional>
#include <utility>

#include "link/user_prompt.h"

class QMessageBox;
class QWidget;

namespace tavrel {

class CMainFrame;

class QtUserPrompt : public UserPrompt {
 public:
  // Runs the modal box and returns the button pressed (a QMessageBox
  // standard button). QMessageBox::exec unless a test answers instead.
  using BoxRunner = std::function<int(QMessageBox&)>;
  explicit QtUserPrompt(BoxRunner runBox = {}) : m_runBox(std::move(runBox)) {}

  MessageAnswer ShowMessage(const MessageRequest& request) override;
  bool HasMainWindow() const override { return m_frame != nullptr; }
  void SetStatusText(const std::string& text) override;

  // The frame once it exists (null again when it goes).
  void SetMainFrame(CMainFrame* frame) { m_frame = frame; }

 private:
  BoxRunner m_runBox;
  CMainFrame* m_frame = nullptr;
};

// A box with the application's caption, an OK button and the exclamation
// icon: the framework's standard message box.
MessageRequest StandardMessage(const std::string& text);

}  // namespace tavrel
