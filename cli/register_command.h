// tavrelctl's "reg" command: reads, writes and dumps the camera's internal
// registers as the register editor does, one row or one page at a time.
#pragma once

#include <ostream>
#include <string>

namespace CLI {
class App;
}

namespace tavrel {
class CameraUnit;
}

namespace tavrel::cli {

class RegisterCommand {
 public:
  // Adds "reg read", "reg write" and "reg dump" to `app`. An unknown area, a
  // malformed address, data or page fails the parse (a usage error), so
  // nothing is sent. The object must outlive the parse.
  explicit RegisterCommand(CLI::App& app);
  RegisterCommand(const RegisterCommand&) = delete;
  RegisterCommand& operator=(const RegisterCommand&) = delete;

  bool Parsed() const;
  // What is checked before the port opens: a dump of a page that shows no
  // address is the register editor's address error (exit 2), as its page
  // buttons give it at once. kExitOk to go on.
  int Check(CameraUnit& camera) const;
  // Runs the parsed subcommand; returns the exit status. Data that are not
  // hexadecimal digits fail the row with link code 24. A dump goes on after
  // a row that fails, unless the line is gone (a time-out, a hang-up): then
  // it ends there, with the rows read so far printed.
  int Run(CameraUnit& camera, std::ostream& out) const;

 private:
  int Read(CameraUnit& camera, std::ostream& out) const;
  int Write(CameraUnit& camera) const;
  int Dump(CameraUnit& camera, std::ostream& out) const;

  CLI::App* reg_ = nullptr;
  CLI::App* read_ = nullptr;
  CLI::App* write_ = nullptr;
  CLI::App* dump_ = nullptr;
  std::string area_;
  std::string address_;
  std::string data_;
  std::string page_ = "00";
  bool eeprom_ = false;
  bool json_ = false;
};

}  // namespace tavrel::cli
