// tavrelctl diff FILE1 [FILE2]: whether a camera holds a settings file's
// values (or two files agree), for the production line's check after each
// camera is set up. Exit status as diff(1): 0 they agree, 1 they differ.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>

#include "model/parameter_table.h"

namespace CLI {
class App;
}

namespace tavrel {
class CameraUnit;
}

namespace tavrel::cli {

class DiffCommand {
 public:
  // Adds "diff" to `app`. The object must outlive the parse.
  explicit DiffCommand(CLI::App& app);
  DiffCommand(const DiffCommand&) = delete;
  DiffCommand& operator=(const DiffCommand&) = delete;

  bool Parsed() const;
  // True when one file was named: the other side is the camera. Two files
  // need no link at all.
  bool ComparesWithCamera() const;
  // Reads the files before any link opens. Exit 4 (the reason printed on
  // `err`, a foreign file's mismatch message through the camera object's
  // prompt) for a file that cannot be read or is not a complete settings
  // file; kExitOk to go on.
  int Check(CameraUnit& camera, std::ostream& err);
  // With one file, reads the camera as read-all does (exit 3 when that
  // fails); then prints each differing entry and returns 0 or 1.
  int Run(CameraUnit& camera, std::ostream& out);

 private:
  using Values = std::array<std::int32_t, kParameterCount>;

  int Read(CameraUnit& camera, const std::string& path, Values& values, std::ostream& err) const;

  CLI::App* diff_ = nullptr;
  std::string leftFile_;
  std::string rightFile_;
  bool all_ = false;
  bool json_ = false;
  Values left_{};   // camera form
  Values right_{};  // camera form
};

}  // namespace tavrel::cli
