// A program's output split into its lines, for tests that check it line by
// line.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace tavrel::testing {

// Each line without its line feed; a last line without one counts too.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace tavrel::testing
