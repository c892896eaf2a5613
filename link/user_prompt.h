// How the link and the model reach the user: message boxes and the status-bar
// progress text. The window program, the command-line tool and the tests each
// provide their own implementation.
#pragma once

#include <string>

namespace tavrel {

enum class MessageIcon { kNone, kError, kExclamation, kQuestion, kInformation };
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

struct MessageRequest {
  std::string text;
  // More about the message, shown below it where there is one (why a port
  // did not open); the text stays as it is.
  std::string detail;
  std::string caption;
  MessageIcon icon = MessageIcon::kNone;
  MessageButtons buttons = MessageButtons::kOk;
  // True for a box that has no owner window (shown before or beside the main
  // window, such as the board's open error).
  bool ownerless = false;
};

class UserPrompt {
 public:
  virtual ~UserPrompt() = default;

  // Shows a modal message box and returns the user's answer. Implementations
  // used by tests answer without blocking.
  virtual MessageAnswer ShowMessage(const MessageRequest& request) = 0;

  // False until the main window exists (during start-up); progress text is
  // shown only when this is true.
  virtual bool HasMainWindow() const = 0;

  // Puts `text` into the status bar's message pane and repaints it at once, so
  // it is visible while an exchange blocks the program.
  virtual void SetStatusText(const std::string& text) = 0;
};

}  // namespace tavrel
