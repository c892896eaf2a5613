// The profile file's text: a plain INI file that a person can read and edit,
// with sections and entries written as they are named ("[Recent File List]",
// "COM Port=1") and no empty entries. The window program's profile store and
// tavrelctl both read and write it through this one set of rules.
//
// Section names are matched without regard to (ASCII) case: sections whose
// names differ only in case are read as one, under the first spelling in the
// file. Entry names are matched exactly. Files written by earlier versions,
// whose names were percent-encoded ("COM%20Port") and whose values were quoted
// and escaped, read the same. All text is UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrel {

struct ProfileEntry {
  std::string name;
  std::string value;
};

struct ProfileSection {
  // As first spelled in the file; empty for the entries before any section
  // header.
  std::string name;
  // In the order they first appear; one per name, holding the last value read.
  std::vector<ProfileEntry> entries;
};

class ProfileIni {
 public:
  // Lines that are neither a section header nor an entry (blank lines,
  // comments) are passed over.
  static ProfileIni Parse(std::string_view text);

  // In the order they first appear in the file, or were first set.
  const std::vector<ProfileSection>& Sections() const { return m_sections; }

  // Sets `entry` in `section` (empty: before any section header), adding the
  // section at the end and the entry at the end of its section where they are
  // new. An empty value is kept but never written.
  void Set(std::string_view section, std::string_view entry, std::string_view value);
  void Remove(std::string_view section, std::string_view entry);

  // The plain form: the entries before any section header first, then each
  // section under its header, one blank line between sections. Entries no
  // line can hold (an empty value, or one with a line break) are left out,
  // and so are sections left without entries.
  std::string Serialize() const;

 private:
  ProfileSection* Find(std::string_view section);

  std::vector<ProfileSection> m_sections;
};

}  // namespace tavrel
