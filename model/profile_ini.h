// The profile file's text: a plain INI file that a person can read and edit,
// with sections and entries written as they are named ("[Recent File List]",
// "COM Port=1") and no empty entries. The window program and tavrelctl both
// read and write it through this one set of rules (model/profile_file.h).
//
// Section names are matched without regard to (ASCII) case: sections whose
// names differ only in case are read as one, under the first spelling in the
// file. Entry names are matched exactly. An entry set twice (in one section
// or under two of its headers) reads as its last line says. All text is
// UTF-8.
//
// An edit changes only the line of the entry it sets (the one that is read,
// where there are several) or removes (every line of it), adding a section
// at the end of the file where it is new and taking out a section it leaves
// empty: every other line keeps its bytes, comments, blank lines and
// duplicates included. In a file in an earlier version's form (escaped names
// and values, model/profile_earlier_form.h) the first edit also puts each
// entry and header line in the plain form where it stands.
//
// Blanks around names and values are not part of them, so a value is written
// between double quotes where it would not read back the same otherwise (a
// blank at either end, a quote at both ends, or a ']' at the end of an entry
// whose name begins with '[', which would read as a section header); reading
// takes one pair of quotes around a value off.
#pragma once

#include <optional>
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
  // comments) are passed over in reading and kept in writing.
  static ProfileIni Parse(std::string_view text);

  // What the file holds, sections in the order they first appear.
  std::vector<ProfileSection> Sections() const;
  // The value of `entry` in `section` (empty: before any section header).
  std::optional<std::string> Get(std::string_view section, std::string_view entry) const;

  // Sets `entry` in `section` (empty: before any section header), adding the
  // entry after the last one of its section, or the section at the end of the
  // file, where they are new. A value no line can hold (an empty one, or one
  // with a line break) removes the entry instead. False, with nothing
  // changed, for a section or entry name no line can hold (one with a line
  // break, '%', or blanks at either end; an entry name that is empty, holds
  // '=' or begins with ';' or '#').
  bool Set(std::string_view section, std::string_view entry, std::string_view value);
  void Remove(std::string_view section, std::string_view entry);

  // The file's text: as read, with the edits made since.
  std::string Serialize() const;

 private:
  struct Line {
    std::string text;
    std::string end;  // "\n", "\r\n", or empty for a last line without one
  };
  // The first range of lines under a section's name: its header (npos for
  // the lines before any header) and its last entry (npos: none).
  struct MatchedRange {
    bool found = false;
    std::size_t header = std::string::npos;
    std::size_t lastEntry = std::string::npos;
  };
  // Where an entry of a section stands: every line of it, in file order, and
  // the section's first range, where a new entry goes.
  struct Matches {
    std::vector<std::size_t> lines;
    MatchedRange firstRange;
  };

  // One pass over the lines.
  Matches Find(std::string_view section, std::string_view entry) const;
  // A name or value as the program named or stored it.
  std::string NameOf(std::string_view written) const;
  std::string ValueOf(std::string_view written) const;
  void ConvertEarlierForm();
  std::string NewLineEnd() const;
  void InsertLine(std::size_t at, std::string text);
  void RemoveIfEmpty(std::size_t header);

  std::vector<Line> m_lines;
  // Names percent-encoded and values escaped, as earlier versions wrote them.
  bool m_earlierForm = false;
};

}  // namespace tavrel
