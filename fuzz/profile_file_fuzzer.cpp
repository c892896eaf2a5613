// Feeds arbitrary text to the profile file's rules, and one edit: the text
// must come back byte for byte when nothing changed, every entry must read
// back as listed, and an edit must change only its own entry.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "fuzz/scripted_line.h"
#include "model/profile_ini.h"

namespace {

using fuzz::Require;
using tavrel::ProfileIni;

bool SameSection(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool HasBlankEnds(const std::string& text) {
  const std::string blanks = " \t\n\v\f\r";
  return !text.empty() && (blanks.find(text.front()) != std::string::npos ||
                           blanks.find(text.back()) != std::string::npos);
}

// What the plain form can hold: an entry read under any other name (a line
// break or '%' inside it, written by hand), or with a line break in its value
// (an earlier version's escapes), is not kept when an edit puts an earlier
// version's file in the plain form.
bool Writable(const std::string& section, const std::string& entry, const std::string& value) {
  return section.find_first_of("\r\n%") == std::string::npos && !HasBlankEnds(section) &&
         !entry.empty() && entry.find_first_of("\r\n%=") == std::string::npos &&
         !HasBlankEnds(entry) && entry.front() != ';' && entry.front() != '#' &&
         value.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(24);
  const std::string entry = input.ConsumeRandomLengthString(24);
  const std::string value = input.ConsumeRandomLengthString(48);
  const bool remove = input.ConsumeBool();
  const std::string text = input.ConsumeRemainingBytesAsString();

  ProfileIni ini = ProfileIni::Parse(text);
  Require(ini.Serialize() == text);
  const auto before = ini.Sections();
  for (const auto& s : before) {
    for (const auto& e : s.entries) Require(ini.Get(s.name, e.name) == e.value);
  }

  bool edited = true;
  if (remove) {
    ini.Remove(section, entry);
  } else {
    edited = ini.Set(section, entry, value);
  }
  const std::string written = ini.Serialize();
  if (!edited) {
    Require(written == text);
    return 0;
  }
  const ProfileIni after = ProfileIni::Parse(written);
  const bool holdable =
      !remove && !value.empty() && value.find_first_of("\r\n") == std::string::npos;
  if (holdable) {
    Require(after.Get(section, entry) == value);
  } else {
    Require(!after.Get(section, entry));
  }
  // Every other entry the program could have written reads as before.
  for (const auto& s : before) {
    for (const auto& e : s.entries) {
      if (!Writable(s.name, e.name, e.value) || (SameSection(s.name, section) && e.name == entry))
        continue;
      // The plain form holds no empty entry: an empty value read is no value.
      if (e.value.empty()) {
        Require(after.Get(s.name, e.name).value_or("").empty());
      } else {
        Require(after.Get(s.name, e.name) == e.value);
      }
    }
  }
  return 0;
}
