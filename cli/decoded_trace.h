// tavrelctl's --trace-decoded: one line per exchange on the camera line, in
// the line monitor's words and columns (tab-separated), appended to a file.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "model/line_decoder.h"

namespace tavrel {
class CameraUnit;
}

namespace tavrel::cli {

class DecodedTrace {
 public:
  // Null when the file cannot be opened, with the system's reason in
  // `errorText`. Watches `camera`'s line until it is destroyed; the camera
  // must outlive it.
  static std::unique_ptr<DecodedTrace> Open(const std::string& path, CameraUnit& camera,
                                            std::string* errorText);
  ~DecodedTrace();
  DecodedTrace(const DecodedTrace&) = delete;
  DecodedTrace& operator=(const DecodedTrace&) = delete;

 private:
  DecodedTrace(std::FILE* file, CameraUnit& camera);
  void Write(const LineRow& row);

  std::FILE* file_;
  CameraUnit& camera_;
  LineDecoder decoder_;
  bool timed_ = false;
  std::int64_t firstAtUs_ = 0;
};

}  // namespace tavrel::cli
