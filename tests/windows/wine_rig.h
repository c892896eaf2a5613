// Running the Windows build's programs under Wine from a Linux test: the
// private Wine prefix and virtual display that prepare_windows.sh readies,
// paths as the Windows programs see them, and a virtual camera on a pty that
// the prefix's COM1 (or COM10, COM12) leads to.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "sim/pty_camera.h"
#include "tests/support/run_process.h"

namespace tavrel::testing {

namespace fs = std::filesystem;

inline const fs::path kWindowsBuild = WINDOWS_BUILD_DIR;

// A Unix path as a path on Wine's drive Z:, which is the Unix root.
inline std::string WindowsPath(const fs::path& path) {
  std::string text = "Z:" + path.string();
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  return text;
}

// A Windows console program ends its text lines with CR LF.
inline std::string UnixLines(std::string text) {
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.erase(at, 1);
  }
  return text;
}

// The virtual display the prefix's windows go to (prepare_windows.sh starts
// it and writes its number here); empty when there is none.
inline std::string WineDisplay() {
  std::ifstream file(kWindowsBuild / "xvfb.display");
  std::string number;
  if (!(file >> number)) return {};
  return ":" + number;
}

// Runs `program` (a Windows executable) under Wine in the prefix, in
// `folder` (the current one when empty), ended after `limitSeconds` if it has
// not ended by then (a window program waiting for a user would otherwise hold
// the test until ctest's own time-out).
inline ProcessResult RunUnderWine(const fs::path& program, std::vector<std::string> args,
                                  std::vector<std::string> env = {}, int limitSeconds = 90,
                                  const fs::path& folder = {}) {
  std::vector<std::string> start = {TIMEOUT_PATH, "-k", "5", std::to_string(limitSeconds)};
  if (!folder.empty()) start.insert(start.end(), {"env", "--chdir=" + folder.string()});
  start.insert(start.end(), {WINE64_PATH, program.string()});
  args.insert(args.begin(), start.begin(), start.end());
  env.push_back("WINEPREFIX=" + (kWindowsBuild / "wine-prefix").string());
  env.push_back("WINEDEBUG=-all");
  // No menu entries or icons of the prefix's programs in the real home folder.
  env.push_back("WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=");
  // Wine hands arguments and file names between UTF-8 and UTF-16: names
  // outside ASCII arrive whole whatever the test run's own locale is.
  env.push_back("LC_ALL=C.UTF-8");
  if (const std::string display = WineDisplay(); !display.empty()) {
    env.push_back("DISPLAY=" + display);
  }
  ProcessResult result = RunProcess(args, env);
  result.out = UnixLines(result.out);
  result.err = UnixLines(result.err);
  return result;
}

// Points one of the prefix user's shell folders ("AppData": the roaming
// application data) at `windowsPath` for the life of the object, then gives
// it back its old value.
class ShellFolderOverride {
 public:
  ShellFolderOverride(std::string name, const std::string& windowsPath) : name_(std::move(name)) {
    const std::string listed = RunUnderWine("reg", {"query", kKey, "/v", name_}).out;
    const std::string type = "REG_EXPAND_SZ";
    const std::size_t at = listed.find(type);
    if (at != std::string::npos) {
      old_ = listed.substr(listed.find_first_not_of(' ', at + type.size()));
      old_.erase(old_.find_last_not_of("\r\n ") + 1);
    }
    Set(windowsPath);
  }
  ~ShellFolderOverride() {
    if (!old_.empty()) Set(old_);
  }
  ShellFolderOverride(const ShellFolderOverride&) = delete;
  ShellFolderOverride& operator=(const ShellFolderOverride&) = delete;

 private:
  static constexpr const char* kKey =
      "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  void Set(const std::string& value) {
    RunUnderWine("reg", {"add", kKey, "/v", name_, "/t", "REG_EXPAND_SZ", "/d", value, "/f"});
  }
  std::string name_;
  std::string old_;
};

// A virtual camera on a pty that Windows programs in the prefix see as COM1
// (or COM10, COM12): the prefix maps those ports to links that point at the
// pty.
class CameraOnCom {
 public:
  explicit CameraOnCom(sim::CameraOptions options = {}, int port = 1)
      : camera_(std::move(options)),
        link_(kWindowsBuild / ("com" + std::to_string(port) + "-link")) {
    fs::remove(link_);
    fs::create_symlink(camera_.DevicePath(), link_);
  }
  ~CameraOnCom() { fs::remove(link_); }
  CameraOnCom(const CameraOnCom&) = delete;
  CameraOnCom& operator=(const CameraOnCom&) = delete;
  sim::PtyCamera& Camera() { return camera_; }

 private:
  sim::PtyCamera camera_;
  fs::path link_;
};

}  // namespace tavrel::testing
