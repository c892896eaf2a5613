// Feeds arbitrary bytes to the window program as a hand-off request: a path
// taken from it is UTF-8 without a NUL or a line feed, has no blank at either
// end, and goes through a request of its own unchanged.
#include <cstdint>
#include <string_view>

#include "fuzz/scripted_line.h"
#include "model/handed_file_message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using fuzz::Require;
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const auto path = tavrel::HandedFilePath(line);
  if (path) {
    Require(!path->empty() && tavrel::IsUtf8(*path));
    Require(path->find_first_of(std::string_view("\0\n", 2)) == std::string::npos);
    Require(static_cast<unsigned char>(path->front()) > ' ');
    Require(static_cast<unsigned char>(path->back()) > ' ');
    const auto request = tavrel::HandedFileRequest(*path);
    Require(request && tavrel::HandedFilePath(*request) == path);
  }
  (void)tavrel::IsHandedFileTaken(line);
  return 0;
}
