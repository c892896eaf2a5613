// tavrelctl's standard output, written through descriptor 1 itself: a write
// that fails (a full disk, a descriptor that was closed) is known with the
// system's reason, so the command does not report success for output nobody
// got.
#pragma once

#include <array>
#include <streambuf>
#include <string>

namespace tavrel::cli {

class DescriptorOutput : public std::streambuf {
 public:
  explicit DescriptorOutput(int fd) : fd_(fd) {}
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
