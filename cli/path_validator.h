// The check of an option or argument that names a file or device: an empty
// name would quietly mean something else (COM1, the current folder).
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace tavrel::cli {

inline CLI::Validator NonEmptyPath() {
  return CLI::Validator(
      [](std::string& text) { return text.empty() ? std::string("must not be empty") : ""; },
      "PATH");
}

}  // namespace tavrel::cli
