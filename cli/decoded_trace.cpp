#include "cli/decoded_trace.h"

#include <cerrno>
#include <cstring>

#include "link/file_paths.h"
#include "model/camera_unit.h"

namespace tavrel::cli {

std::unique_ptr<DecodedTrace> DecodedTrace::Open(const std::string& path, CameraUnit& camera,
                                                 std::string* errorText) {
  std::FILE* file = OpenFileStream(path, "a");
  if (file == nullptr) {
    if (errorText != nullptr) *errorText = path + ": " + std::strerror(errno);
    return nullptr;
  }
  // A new file starts with the column titles.
  std::fseek(file, 0, SEEK_END);
  if (std::ftell(file) == 0) {
    std::fputs((LineRowTitles() + '\n').c_str(), file);
    std::fflush(file);
  }
  return std::unique_ptr<DecodedTrace>(new DecodedTrace(file, camera));
}

DecodedTrace::DecodedTrace(std::FILE* file, CameraUnit& camera)
    : file_(file), camera_(camera), decoder_(camera, [this](LineRow&& row) { Write(row); }) {
  camera_.WatchLine(&decoder_);
}

DecodedTrace::~DecodedTrace() {
  camera_.WatchLine(nullptr);
  std::fclose(file_);
}

void DecodedTrace::Write(const LineRow& row) {
  // Times from this run's first exchange.
  if (!timed_) {
    timed_ = true;
    firstAtUs_ = row.atUs;
  }
  std::fputs((LineRowText(row, firstAtUs_) + '\n').c_str(), file_);
  // At once, as the byte trace: the line must survive a killed process.
  std::fflush(file_);
}

}  // namespace tavrel::cli
