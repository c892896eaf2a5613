// Message boxes and the status-bar text of the window program.
#pragma once

#include <functional>

#include "app/dialog_runner.h"
#include "link/user_prompt.h"

class QWidget;

namespace tavrel {

class CMainFrame;

class QtUserPrompt : public UserPrompt {
 public:
  // `runBox` runs each message box (QDialog::exec unless a test answers it)
  // and returns the QMessageBox::StandardButton chosen.
  explicit QtUserPrompt(DialogRunner runBox = {});

  // A box belongs to the window the user is working in when it appears: a
  // modal dialog, else the active window (a tool window), else the frame.
  MessageAnswer ShowMessage(const MessageRequest& request) override;
  bool HasMainWindow() const override { return m_frame != nullptr; }
  void SetStatusText(const std::string& text) override;

  // The frame once it exists (null again when it goes).
  void SetMainFrame(CMainFrame* frame) { m_frame = frame; }

 private:
  QWidget* BoxOwner() const;

  DialogRunner m_runBox;
  CMainFrame* m_frame = nullptr;
};

}  // namespace tavrel
