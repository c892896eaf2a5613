#include "serial/serial_line_check.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace tavrel {
namespace {

// The kernel lists every terminal driver with its device numbers in
// <proc>/tty/drivers: "usbserial  /dev/ttyUSB  188 0-511 serial". True when
// `device` is among them, or when the list cannot be read (nothing is
// refused on a guess).
bool IsTerminalNumber(dev_t device, const SystemRoots& roots) {
  std::ifstream in(roots.proc + "/tty/drivers");
  if (!in) return true;
  bool listed = false;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string word; fields >> word;) words.push_back(word);
    // The driver's name and node may hold anything; the numbers are the
    // third and second field from the end.
    if (words.size() < 4) continue;
    listed = true;
    const std::string& majorText = words[words.size() - 3];
    const std::string& minorText = words[words.size() - 2];
    try {
      if (std::stoul(majorText) != major(device)) continue;
      const std::size_t dash = minorText.find('-');
      const unsigned long first = std::stoul(minorText.substr(0, dash));
      const unsigned long last =
          dash == std::string::npos ? first : std::stoul(minorText.substr(dash + 1));
      if (minor(device) >= first && minor(device) <= last) return true;
    } catch (const std::exception&) {
      continue;
    }
  }
  return !listed;
}

}  // namespace

std::string WhyNotASerialLine(const std::string& path, const SystemRoots& roots) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return {};
  if (S_ISCHR(info.st_mode) && IsTerminalNumber(info.st_rdev, roots)) return {};
  // What the system lists as a serial device is one, whatever its node.
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (!error && FindSerialDevice(DetectSerialDevices(roots), absolute.string(), roots) != nullptr) {
    return {};
  }
  const char* kind = nullptr;
  if (S_ISDIR(info.st_mode)) {
    kind = "a directory";
  } else if (S_ISREG(info.st_mode)) {
    kind = "a regular file";
  } else if (S_ISFIFO(info.st_mode)) {
    kind = "a FIFO (named pipe)";
  } else if (S_ISSOCK(info.st_mode)) {
    kind = "a socket";
  } else if (S_ISBLK(info.st_mode)) {
    kind = "a block device";
  } else if (S_ISCHR(info.st_mode)) {
    kind = "a device that is no terminal";
  } else {
    return {};
  }
  return path + " is " + kind + ", not a serial device";
}

}  // namespace tavrel
