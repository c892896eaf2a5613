// The messages by which a program started with a settings file hands it to
// the window program already running: the request is the file's path as
// UTF-8 text and a line feed; the running program answers "ok" and a line
// feed once it has queued the file. Both ends are local programs of the same
// user, but the request is read as untrusted text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

inline constexpr std::string_view kHandedFileTaken = "ok\n";

// The request for `path` (UTF-8); none for a path one request line cannot
// carry whole (one with a line feed or a NUL in it, blanks at either end, or
// text that is not UTF-8): such a file is opened by its own program instead.
std::optional<std::string> HandedFileRequest(std::string_view path);

// The path in a request line (its line feed included or not). Blanks and
// control characters at either end are not part of it. None when nothing is
// left, or when the text is not UTF-8 or holds a NUL or a line feed, as no
// request can.
std::optional<std::string> HandedFilePath(std::string_view line);

// Whether an answer line says the file was taken.
bool IsHandedFileTaken(std::string_view answer);

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or code
// points above U+10FFFF).
bool IsUtf8(std::string_view text);

}  // namespace tavrel
