// A file's bytes as they are on disk, for tests that check what was written.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tavrel::testing {

// Empty when the file cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tavrel::testing
