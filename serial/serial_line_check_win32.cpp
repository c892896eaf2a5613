#include "serial/serial_line_check.h"

#include <windows.h>

#include "serial/windows_text.h"

namespace tavrel {

// Windows names its ports in the device namespace (\\.\COM3), which tells
// nothing of their kind; only folders and plain files are refused.
std::string WhyNotASerialLine(const std::string& path, const SystemRoots&) {
  if (path.empty()) return {};
  const DWORD attributes = GetFileAttributesW(WideText(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DEVICE) != 0) return {};
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return path + " is a folder, not a serial device";
  }
  return path + " is a regular file, not a serial device";
}

}  // namespace tavrel
