#include "cli/console_prompt.h"

namespace tavrel::cli {

std::string OneLine(const std::string& text) {
  std::string line;
  line.reserve(text.size());
  for (char c : text) {
    if (c == '\r') continue;
    line.push_back(c == '\n' ? ' ' : c);
  }
  return line;
}

namespace {

MessageAnswer ShowMessageLine(std::ostream& err, const MessageRequest& request) {
  err << OneLine(request.text) << '\n';
  // The detail keeps its lines: the reason, then the hint.
  if (!request.detail.empty()) err << request.detail << '\n';
  err.flush();
  // A script cannot answer a question: take the answer that changes nothing.
  switch (request.buttons) {
    case MessageButtons::kOk:
      return MessageAnswer::kOk;
    case MessageButtons::kYesNo:
      return MessageAnswer::kNo;
    case MessageButtons::kOkCancel:
    case MessageButtons::kYesNoCancel:
      break;
  }
  return MessageAnswer::kCancel;
}

}  // namespace

MessageAnswer ConsolePrompt::ShowMessage(const MessageRequest& request) {
  if (request.icon == MessageIcon::kError || request.icon == MessageIcon::kExclamation) {
    failureShown_ = true;
  }
  if (!request.detail.empty()) detailShown_ = true;
  return ShowMessageLine(err_, request);
}

void ConsolePrompt::SetStatusText(const std::string& text) {
  if (!verbose_) return;
  err_ << text << '\n';
  err_.flush();
}

}  // namespace tavrel::cli
