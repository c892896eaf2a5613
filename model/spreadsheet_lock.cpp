#include "model/spreadsheet_lock.h"

#include <array>
#include <cctype>
#include <filesystem>

#include "link/file_paths.h"

namespace tavrel {
namespace {

constexpr std::size_t kFieldCount = 5;

std::string_view ShortName(std::string_view host) {
  return host.substr(0, host.find('.'));
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string SpreadsheetLockPath(const std::string& path) {
  // The platform's own separators: a backslash is one on Windows only.
  const std::filesystem::path file = FileSystemPath(path);
  return PathText(file.parent_path() / FileSystemPath(".~lock." + PathText(file.filename()) + "#"));
}

std::optional<SpreadsheetLockOwner> ParseSpreadsheetLock(std::string_view content) {
  std::array<std::string, kFieldCount> fields;
  std::size_t at = 0;
  for (std::size_t field = 0; field < kFieldCount; ++field) {
    const char end = field + 1 < kFieldCount ? ',' : ';';
    for (;;) {
      if (at >= content.size()) return std::nullopt;
      const char c = content[at++];
      if (c == end) break;
      if (c == ',' || c == ';') return std::nullopt;
      if (c == '\\') {
        if (at >= content.size()) return std::nullopt;
        const char escaped = content[at++];
        if (escaped != ',' && escaped != ';' && escaped != '\\') return std::nullopt;
        fields[field].push_back(escaped);
      } else {
        fields[field].push_back(c);
      }
    }
  }
  // A lock that names no host says nothing about where its owner is.
  if (fields[2].empty()) return std::nullopt;
  return SpreadsheetLockOwner{fields[0], fields[1], fields[2], fields[3]};
}

bool IsThisHost(std::string_view lockHost, std::string_view thisHost) {
  if (EqualIgnoringCase(lockHost, "localhost")) return true;
  return !ShortName(lockHost).empty() &&
         EqualIgnoringCase(ShortName(lockHost), ShortName(thisHost));
}

std::string SpreadsheetLockText(const SpreadsheetLockOwner& owner) {
  const std::string& who = owner.userName.empty() ? owner.fullName : owner.userName;
  std::string text = "locked by ";
  text += who.empty() ? "a spreadsheet" : who;
  text += " on " + owner.host;
  if (!owner.openedAt.empty()) text += " since " + owner.openedAt;
  return text;
}

}  // namespace tavrel
