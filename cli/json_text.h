// Texts that come from the camera or the system (a vendor name, a device
// path, a process's name) in tavrelctl's JSON. They are bytes, not always
// UTF-8: a maker may send Latin-1 or Shift-JIS, a path may hold any byte.
// They are written as they are where they are UTF-8; each byte that is not
// part of valid UTF-8 is written as \xHH (a backslash, x and two capital hex
// digits), and a backslash of the text itself as two backslashes, so that a
// script gets the bytes back by undoing those two escapes.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>

namespace tavrel::cli {

// `bytes` as valid UTF-8 text for JSON, escaped as above.
std::string JsonText(std::string_view bytes);

// `value` as two-space indented JSON. A text that did not pass through
// JsonText and is not UTF-8 cannot end the program: its bad bytes are
// replaced.
std::string JsonDump(const nlohmann::json& value);

// The rule above in a line or two, for --help.
inline constexpr const char* kJsonTextRule =
    "In JSON, texts from the camera or the system are written as they are where they\n"
    "are UTF-8; any other byte is written as \\xHH and a backslash of the text as \\\\.\n";

}  // namespace tavrel::cli
