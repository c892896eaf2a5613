#include <windows.h>

#include "serial/open_failure.h"

namespace tavrel {

// Ports have no groups, and nothing tells which program holds one.
std::string ExplainDeviceOpenFailure(const OpenFailure& failure, const SystemRoots& roots) {
  if (failure.errorNumber == 0) return {};
  std::string hint;
  switch (static_cast<DWORD>(failure.errorNumber)) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      hint = "Another program has it open: a port serves one program at a time.";
      break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_DEVICE_NOT_CONNECTED:
      hint = FoundPortsHint(roots);
      break;
    default:
      break;
  }
  return hint.empty() ? failure.reason : failure.reason + "\n" + hint;
}

}  // namespace tavrel
