// tavrelctl's standard output and error, written through descriptors 1 and 2
// themselves: a write that fails (a full disk, a descriptor that was closed)
// is known with the system's reason, so the command does not report success
// for output nobody got. The text is UTF-8; a Windows console is given it as
// UTF-16, so Japanese names and texts show whole there, while output
// redirected to a file or pipe stays UTF-8.
#pragma once

#include <array>
#include <streambuf>
#include <string>
#include <string_view>

namespace tavrel::cli {

// True when `fd` leads to a Windows console (never elsewhere).
bool IsConsole(int fd);
// Writes whole UTF-8 characters to the console behind `fd` as UTF-16, each
// line ended with CR LF. False with errno set when the console refused them.
bool WriteConsoleText(int fd, std::string_view text);

class DescriptorOutput : public std::streambuf {
 public:
  explicit DescriptorOutput(int fd) : fd_(fd), console_(IsConsole(fd)) {}
  ~DescriptorOutput() override { Flush(); }
  DescriptorOutput(const DescriptorOutput&) = delete;
  DescriptorOutput& operator=(const DescriptorOutput&) = delete;

  // Writes out what is buffered. False once any write has failed.
  bool Flush();
  // The system's reason for the first failed write; empty while none failed.
  const std::string& ErrorText() const { return error_; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* data, std::streamsize count) override;
  int sync() override { return Flush() ? 0 : -1; }

 private:
  bool WriteAll(const char* data, std::size_t size);

  int fd_;
  bool console_;
  // The first bytes of a character whose rest is still to come, held back
  // from a console, which takes whole characters only.
  std::string unfinished_;
  std::array<char, 4096> buffer_{};
  std::size_t used_ = 0;
  std::string error_;
};

// Gives each of descriptors 0, 1 and 2 that is closed a stand-in that cannot
// be written, so that no file or port the command opens takes its number:
// output meant for a closed descriptor 1 then fails, as it should, instead of
// going to the camera's line.
void HoldClosedStandardDescriptors();

}  // namespace tavrel::cli
