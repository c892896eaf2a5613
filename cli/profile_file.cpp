#include "cli/profile_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "res/string_table.h"

namespace tavrel::cli {
namespace {

namespace fs = std::filesystem;

std::string Lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool IsSectionLine(const std::string& line) {
  const std::string trimmed = Trimmed(line);
  return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

std::string SectionName(const std::string& line) {
  const std::string trimmed = Trimmed(line);
  return trimmed.substr(1, trimmed.size() - 2);
}

std::string KeyOf(const std::string& line) {
  const std::size_t equals = line.find('=');
  return equals == std::string::npos ? std::string() : Trimmed(line.substr(0, equals));
}

std::vector<std::string> ReadLines(const fs::path& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void SetEntry(std::vector<std::string>& lines, const std::string& section, const std::string& entry,
              const std::string& setting) {
  std::size_t begin = 0;
  while (begin < lines.size() &&
         !(IsSectionLine(lines[begin]) && Lowered(SectionName(lines[begin])) == Lowered(section))) {
    ++begin;
  }
  if (begin == lines.size()) {
    if (!lines.empty() && !Trimmed(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + section + "]");
    lines.push_back(setting);
    return;
  }
  // A new setting goes after the section's last one, before any blank lines.
  std::size_t insertAt = begin + 1;
  for (std::size_t i = begin + 1; i < lines.size() && !IsSectionLine(lines[i]); ++i) {
    if (KeyOf(lines[i]) == entry) {
      lines[i] = setting;
      return;
    }
    if (!Trimmed(lines[i]).empty()) insertAt = i + 1;
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), setting);
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

  std::vector<std::string> lines = ReadLines(file);
  SetEntry(lines, section, entry, entry + "=" + std::to_string(value));
  std::ostringstream text;
  for (const std::string& line : lines) text << line << '\n';

  const fs::path temporary = file.string() + ".tavrelctl-" + std::to_string(getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text.str();
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
