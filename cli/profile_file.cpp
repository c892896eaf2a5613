#include "cli/profile_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "model/profile_ini.h"
#include "res/string_table.h"

namespace tavrel::cli {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

std::string ProfileFilePath() {
  fs::path folder;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    folder = fs::path(home != nullptr ? home : "") / ".config";
  }
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

  ProfileIni profile = ProfileIni::Parse(ReadText(file));
  profile.Set(section, entry, std::to_string(value));
  const std::string text = profile.Serialize();

  const fs::path temporary = file.string() + ".tavrelctl-" + std::to_string(getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
      const std::string reason = std::strerror(errno);
      fs::remove(temporary, error);
      return reason;
    }
  }
  fs::rename(temporary, file, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return error.message();
  }
  return {};
}

}  // namespace tavrel::cli
