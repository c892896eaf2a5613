// A fresh folder under /tmp for one test, removed with everything in it when
// the test is done, even when an assertion ended the test early.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tavrel::testing {

class TempFolder {
 public:
  // The folder is named "/tmp/<prefix>-" and six random characters.
  explicit TempFolder(std::string_view prefix) {
    std::string pattern = "/tmp/" + std::string(prefix) + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::system_error(errno, std::generic_category(), pattern);
    }
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }
  // The path of `name` in the folder, as text.
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The names of the entries in `folder`, sorted: what a test expects to be
// left there (no temporary file, nothing else).
inline std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tavrel::testing
