// Feeds arbitrary bytes to the reading of a spreadsheet's lock file: an owner
// read from it names a host, and written back in the lock file's own form it
// reads the same.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/scripted_line.h"
#include "model/spreadsheet_lock.h"

namespace {

std::string Escaped(const std::string& field) {
  std::string text;
  for (char c : field) {
    if (c == ',' || c == ';' || c == '\\') text += '\\';
    text += c;
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using fuzz::Require;
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const auto owner = tavrel::ParseSpreadsheetLock(content);
  if (!owner) return 0;
  Require(!owner->host.empty());
  const std::string written = Escaped(owner->fullName) + ',' + Escaped(owner->userName) + ',' +
                              Escaped(owner->host) + ',' + Escaped(owner->openedAt) + ",url;";
  const auto again = tavrel::ParseSpreadsheetLock(written);
  Require(again && again->fullName == owner->fullName && again->userName == owner->userName &&
          again->host == owner->host && again->openedAt == owner->openedAt);
  Require(tavrel::IsThisHost(owner->host, owner->host) ||
          owner->host.substr(0, owner->host.find('.')).empty());
  Require(!tavrel::SpreadsheetLockText(*owner).empty());
  return 0;
}
