// tavrelctl's "ports" command: which device each COM number stands for and
// where that came from, the serial devices of this machine, and the user's
// own assignments in the profile. It opens no port.
#pragma once

#include <ostream>
#include <string>

namespace CLI {
class App;
}

namespace tavrel {
class ComPortDirectory;
}

namespace tavrel::cli {

class PortsCommand {
 public:
  // Adds "ports [--json]", "ports assign COM<n> PATH" and "ports unassign
  // COM<n>" to `app`; on Windows PATH is PORT, a port name ("COM12", also
  // "\\.\COM12"). A COM name other than COM1..COM10 (case ignored), an empty
  // PATH or on Windows a PORT that is no port name fails the parse (a usage
  // error). The object must outlive the parse.
  explicit PortsCommand(CLI::App& app);
  PortsCommand(const PortsCommand&) = delete;
  PortsCommand& operator=(const PortsCommand&) = delete;

  bool Parsed() const;
  // Runs the parsed subcommand against `directory` (the user's profile and
  // this machine, unless a test says otherwise); returns the exit status.
  int Run(const ComPortDirectory& directory, std::ostream& out, std::ostream& err) const;

 private:
  int List(const ComPortDirectory& directory, std::ostream& out) const;
  int Assign(const ComPortDirectory& directory, std::ostream& err) const;
  int Unassign(const ComPortDirectory& directory, std::ostream& err) const;

  CLI::App* ports_ = nullptr;
  CLI::App* assign_ = nullptr;
  CLI::App* unassign_ = nullptr;
  std::string port_;
  std::string path_;
  bool json_ = false;
};

}  // namespace tavrel::cli
