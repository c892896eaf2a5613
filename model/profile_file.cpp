#include "model/profile_file.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <span>

#include "link/file_paths.h"
#include "model/file_descriptor.h"
#include "model/file_replace.h"
#include "model/profile_ini.h"
#include "model/profile_lock.h"
#include "model/user_config_folder.h"
#include "res/string_table.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;

// The file's text; empty when there is no file yet. False (with errno set)
// when something is there but cannot be read: replacing it would lose the
// other settings. Only a regular file is read: a pipe would block the program
// waiting for a writer.
bool ReadExisting(const std::string& path, std::string* text) {
  switch (KindOfFile(path)) {
    case FileKind::kMissing:
      return true;
    case FileKind::kCannotTell:
      return false;
    case FileKind::kFolder:
      errno = EISDIR;
      return false;
    case FileKind::kOther:
      errno = EINVAL;
      return false;
    case FileKind::kRegular:
      break;
  }
  FileDescriptor file(OpenFileDescriptor(path, O_RDONLY | O_BINARY | O_CLOEXEC));
  if (file.Get() < 0) return false;
  char buffer[4096];
  for (;;) {
    const auto moved = ::read(file.Get(), buffer, sizeof buffer);
    if (moved == 0) return true;
    if (moved > 0) {
      text->append(buffer, static_cast<std::size_t>(moved));
    } else if (errno != EINTR) {
      return false;
    }
  }
}

// Why a profile is no text to edit (empty when it is one): a file with a NUL
// or a control character no text holds was never written by a person or a
// program as a profile, and rewriting it would keep only what looked like
// entries.
std::string NotTextReason(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (byte >= 0x20 || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' ||
        byte == '\r') {
      continue;
    }
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    return "not a text file (byte " + std::to_string(at) + " is 0x" + hex +
           "); it is left as it is";
  }
  return {};
}

std::optional<ProfileIni> ReadProfile(const std::string& path) {
  std::string text;
  if (!ReadExisting(path, &text)) return std::nullopt;
  return ProfileIni::Parse(text);
}

}  // namespace

std::string ProfileFilePath() {
  return PathText(FileSystemPath(UserConfigFolder()) /
                  FileSystemPath(std::string(res::LoadString(res::kIdsCompanyKey))) /
                  FileSystemPath(std::string(res::LoadString(res::kIdsAppName)) + ".ini"));
}

std::optional<std::string> ReadProfileString(const std::string& path, std::string_view section,
                                             std::string_view entry) {
  const std::optional<ProfileIni> profile = ReadProfile(path);
  if (!profile) return std::nullopt;
  return profile->Get(section, entry);
}

std::optional<int> ReadProfileInt(const std::string& path, std::string_view section,
                                  std::string_view entry) {
  const std::optional<std::string> text = ReadProfileString(path, section, entry);
  if (!text) return std::nullopt;
  std::string_view digits = *text;
  const std::size_t first = digits.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::nullopt;
  digits = digits.substr(first, digits.find_last_not_of(" \t") - first + 1);
  if (digits.front() == '+') digits.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

std::string WriteProfileString(const std::string& path, std::string_view section,
                               std::string_view entry, std::string_view value) {
  // The file's text with the edit made; none when it stays as it is.
  std::optional<std::string> edited;
  const auto edit = [&]() -> std::string {
    std::string existing;
    errno = 0;
    if (!ReadExisting(path, &existing)) return std::strerror(errno != 0 ? errno : EIO);
    if (std::string why = NotTextReason(existing); !why.empty()) return why;
    ProfileIni profile = ProfileIni::Parse(existing);
    if (!profile.Set(section, entry, value)) return std::strerror(EINVAL);
    edited = profile.Serialize();
    if (*edited == existing) edited.reset();
    return {};
  };
  // An edit that changes nothing makes no folder and takes no lock.
  if (std::string failure = edit(); !failure.empty() || !edited) return failure;

  const fs::path file = FileSystemPath(path);
  std::error_code error;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), error);
  if (error) return error.message();
  // From the read to the replace, so that another writer's edit made
  // meanwhile is not lost: the file is read again under the lock.
  std::string busy;
  const std::unique_ptr<ProfileLock> lock = ProfileLock::Acquire(path, kProfileLockWait, &busy);
  if (lock == nullptr) return busy;
  if (std::string failure = edit(); !failure.empty() || !edited) return failure;
  const int failure = ReplaceFileContents(
      path, std::span(reinterpret_cast<const std::uint8_t*>(edited->data()), edited->size()));
  return failure != 0 ? std::strerror(failure) : std::string();
}

std::string WriteProfileInt(const std::string& path, std::string_view section,
                            std::string_view entry, int value) {
  return WriteProfileString(path, section, entry, std::to_string(value));
}

}  // namespace tavrel
