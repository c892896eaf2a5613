// tavrelctl's "find" command: which port a camera answers on, at which rate,
// and which model it says it is. It sends ENQ and read commands only.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tavrel {
class ComPortDirectory;
}

namespace tavrel::cli {

class FindCommand {
 public:
  // Adds "find [--json] [CANDIDATE...]" to `app`; a candidate is COM<n> or a
  // device path. The object must outlive the parse.
  explicit FindCommand(CLI::App& app);
  FindCommand(const FindCommand&) = delete;
  FindCommand& operator=(const FindCommand&) = delete;

  bool Parsed() const;
  // Probes and prints; returns 0 when a camera answered, 1 when none did.
  int Run(const ComPortDirectory& directory, std::ostream& out, std::ostream& err) const;

 private:
  CLI::App* find_ = nullptr;
  std::vector<std::string> candidates_;
  bool json_ = false;
};

}  // namespace tavrel::cli
