// Replaces the whole contents of a small file the way a save should: the
// file system's permissions decide, and what the name stood for survives.
//
// - A file the user may not write is refused (its bytes are kept).
// - A symbolic link is followed; the file it names is the one replaced.
// - Normally a temporary file beside the target is written, flushed to disk
//   and renamed over it, so a failed save never leaves half a file; it gets
//   the old file's mode, and its owner and group where the user may set them.
// - Where no temporary file can be made beside the target (a folder the user
//   may not write), the folder does not let the user replace it (a sticky
//   folder and another user's file), or the target has other hard links that
//   a rename would split off, the target is rewritten in place and flushed to
//   disk.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tavrel {

// 0 on success, else the errno that stopped the save.
int ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace tavrel
