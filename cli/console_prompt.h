// The command-line tool's way of reaching the user: an error box becomes one
// line on stderr (and its detail, if any, the lines after it), progress text
// goes to stderr only when asked for.
#pragma once

#include <ostream>
#include <string>

#include "link/user_prompt.h"

namespace tavrel::cli {

class ConsolePrompt : public UserPrompt {
 public:
  ConsolePrompt(std::ostream& err, bool verbose) : err_(err), verbose_(verbose) {}

  MessageAnswer ShowMessage(const MessageRequest& request) override;
  // Progress is only formatted when it will be shown.
  bool HasMainWindow() const override { return verbose_; }
  void SetStatusText(const std::string& text) override;

  // True once any error or warning box was shown: the command then fails.
  bool FailureShown() const { return failureShown_; }
  // True once a box with a detail was shown (the reason is told already).
  bool DetailShown() const { return detailShown_; }

 private:
  std::ostream& err_;
  bool verbose_;
  bool failureShown_ = false;
  bool detailShown_ = false;
};

// `text` on one line: line breaks become single blanks.
std::string OneLine(const std::string& text);

}  // namespace tavrel::cli
