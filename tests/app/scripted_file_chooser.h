// A FileChooser for tests: answers from a queue (an empty name or an empty
// queue = cancelled) and records what it was asked.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "app/file_chooser.h"

namespace tavrel::testing {

class ScriptedFileChooser : public FileChooser {
 public:
  std::optional<QString> ChooseFileToOpen(const FileRequest& request) override {
    return Next(request);
  }
  std::optional<QString> ChooseFileToSave(const FileRequest& request) override {
    return Next(request);
  }

  std::deque<QString> answers;
  std::vector<FileRequest> requests;

 private:
  std::optional<QString> Next(const FileRequest& request) {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    const QString answer = answers.front();
    answers.pop_front();
    if (answer.isEmpty()) return std::nullopt;
    return answer;
  }
};

}  // namespace tavrel::testing
