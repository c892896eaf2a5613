// The check of a raw message body typed for send and query: what the camera
// can take at all, so a typing mistake is a usage error before the port opens
// rather than a link error after it.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "link/framing.h"

namespace tavrel::cli {

inline CLI::Validator MessageBodyValidator() {
  return CLI::Validator(
      [](std::string& body) -> std::string {
        if (body.empty()) return "must not be empty";
        if (body.size() > static_cast<std::size_t>(kMaxBodyLength)) {
          return "is " + std::to_string(body.size()) + " characters long; a message body holds " +
                 std::to_string(kMaxBodyLength) + " at most";
        }
        if (body.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) {
          return "\"" + body + "\" may hold only hexadecimal digits (0-9, A-F)";
        }
        return {};
      },
      "HEX");
}

}  // namespace tavrel::cli
