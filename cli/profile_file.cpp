#include "cli/profile_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <span>

#include "model/file_descriptor.h"
#include "model/file_replace.h"
#include "model/profile_ini.h"
#include "res/string_table.h"

namespace tavrel::cli {
namespace {

namespace fs = std::filesystem;

// The file's text; empty when there is no file yet. False (with errno set)
// when a file is there but cannot be read: replacing it would lose the
// window program's other settings.
bool ReadExisting(const fs::path& path, std::string* text) {
  const int fd = open(path.string().c_str(), O_RDONLY | O_BINARY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  char buffer[4096];
  ssize_t moved = 0;
  while ((moved = read(fd, buffer, sizeof buffer)) != 0) {
    if (moved > 0) {
      text->append(buffer, static_cast<std::size_t>(moved));
    } else if (errno != EINTR) {
      break;
    }
  }
  const int reason = errno;
  close(fd);
  errno = reason;
  return moved == 0;
}

}  // namespace

std::string ProfileFilePath() {
  fs::path folder;
#ifdef _WIN32
  // Where an INI profile of the user lives on Windows.
  const char* appData = std::getenv("APPDATA");
  folder = appData != nullptr ? appData : "";
#else
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    folder = fs::path(home != nullptr ? home : "") / ".config";
  }
#endif
  return (folder / std::string(res::LoadString(res::kIdsCompanyKey)) /
          (std::string(res::LoadString(res::kIdsAppName)) + ".ini"))
      .string();
}

std::string WriteProfileInt(const std::string& path, const std::string& section,
                            const std::string& entry, int value) {
  const fs::path file(path);
  std::error_code error;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), error);
  if (error) return error.message();

  std::string existing;
  errno = 0;
  if (!ReadExisting(file, &existing)) return std::strerror(errno != 0 ? errno : EIO);
  ProfileIni profile = ProfileIni::Parse(existing);
  profile.Set(section, entry, std::to_string(value));
  const std::string text = profile.Serialize();
  // Replaced whole, through a link and keeping the file's mode, as a save is.
  const int failure = ReplaceFileContents(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  if (failure != 0) return std::strerror(failure);
  return {};
}

}  // namespace tavrel::cli
