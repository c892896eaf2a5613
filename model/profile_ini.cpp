#include "model/profile_ini.h"

#include <algorithm>

#include "model/profile_earlier_form.h"

namespace tavrel {
namespace {

constexpr std::string_view kBlanks = " \t\n\v\f\r";

// An all-blank text gives an empty view at its end, so a value's place in its
// line is known even when the value is empty.
std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return text.substr(text.size());
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsBlankLine(std::string_view text) {
  return Trimmed(text).empty();
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameSectionName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

enum class LineKind { kOther, kHeader, kEntry };

// What one line says; the views point into the line's text.
struct LineMeaning {
  LineKind kind = LineKind::kOther;
  std::string_view section;  // a header's name
  std::string_view name;     // an entry's name
  std::string_view value;    // an entry's value as written: quotes or escapes still on
};

LineMeaning Classify(std::string_view text) {
  const std::string_view line = Trimmed(text);
  if (line.empty() || line.front() == ';' || line.front() == '#') return {};
  if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
    return {LineKind::kHeader, Trimmed(line.substr(1, line.size() - 2)), {}, {}};
  }
  const std::size_t equals = line.find('=');
  if (equals == 0 || equals == std::string_view::npos) return {};
  return {LineKind::kEntry, {}, Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1))};
}

bool HasBlankEnds(std::string_view text) {
  return Trimmed(text).size() != text.size();
}

bool QuotedAround(std::string_view value) {
  return value.size() >= 2 && value.front() == '"' && value.back() == '"';
}

// A '%' in a name would make the whole file read as an earlier version's.
bool HoldableSectionName(std::string_view name) {
  return name.find_first_of("\n\r%") == std::string_view::npos && !HasBlankEnds(name);
}

bool HoldableEntryName(std::string_view name) {
  return !name.empty() && name.find_first_of("\n\r%=") == std::string_view::npos &&
         !HasBlankEnds(name) && name.front() != ';' && name.front() != '#';
}

bool HoldableValue(std::string_view value) {
  return !value.empty() && value.find_first_of("\n\r") == std::string_view::npos;
}

std::string EncodeValue(std::string_view name, std::string_view value) {
  const bool quoted =
      HasBlankEnds(value) || QuotedAround(value) || (name.front() == '[' && value.back() == ']');
  return quoted ? '"' + std::string(value) + '"' : std::string(value);
}

std::string EntryLine(std::string_view name, std::string_view value) {
  return std::string(name) + '=' + EncodeValue(name, value);
}

}  // namespace

// The lines of one section: the lines before the first header (the section
// named ""), or a header and the lines up to the next one.
struct ProfileIni::Range {
  std::size_t header;  // std::string::npos for the lines before any header
  std::size_t begin;   // the first line after the header
  std::size_t end;     // one past the last line
  std::string_view name;
};

ProfileIni ProfileIni::Parse(std::string_view text) {
  ProfileIni ini;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    Line line;
    if (newline == std::string_view::npos) {
      line.text = text;
      text = {};
    } else {
      const bool crlf = newline > 0 && text[newline - 1] == '\r';
      line.text = text.substr(0, crlf ? newline - 1 : newline);
      line.end = crlf ? "\r\n" : "\n";
      text.remove_prefix(newline + 1);
    }
    const LineMeaning meaning = Classify(line.text);
    if (IsEarlierFormName(meaning.kind == LineKind::kHeader ? meaning.section : meaning.name)) {
      ini.m_earlierForm = true;
    }
    ini.m_lines.push_back(std::move(line));
  }
  return ini;
}

std::vector<ProfileIni::Range> ProfileIni::Ranges() const {
  std::vector<Range> ranges{{std::string::npos, 0, 0, {}}};
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    const LineMeaning meaning = Classify(m_lines[i].text);
    if (meaning.kind != LineKind::kHeader) continue;
    ranges.back().end = i;
    ranges.push_back({i, i + 1, 0, meaning.section});
  }
  ranges.back().end = m_lines.size();
  return ranges;
}

std::string ProfileIni::NameOf(std::string_view written) const {
  return m_earlierForm ? DecodeEarlierName(written) : std::string(written);
}

std::string ProfileIni::ValueOf(std::string_view written) const {
  if (m_earlierForm) return DecodeEarlierValue(written);
  return std::string(QuotedAround(written) ? written.substr(1, written.size() - 2) : written);
}

std::vector<ProfileSection> ProfileIni::Sections() const {
  std::vector<ProfileSection> sections;
  for (const Range& range : Ranges()) {
    const std::string sectionName = NameOf(range.name);
    for (std::size_t i = range.begin; i < range.end; ++i) {
      const LineMeaning line = Classify(m_lines[i].text);
      if (line.kind != LineKind::kEntry) continue;
      std::string name = NameOf(line.name);
      std::string value = ValueOf(line.value);
      auto section = std::find_if(sections.begin(), sections.end(), [&](const ProfileSection& s) {
        return SameSectionName(s.name, sectionName);
      });
      if (section == sections.end()) section = sections.insert(sections.end(), {sectionName, {}});
      auto entry = std::find_if(section->entries.begin(), section->entries.end(),
                                [&](const ProfileEntry& e) { return e.name == name; });
      if (entry == section->entries.end()) {
        section->entries.push_back({std::move(name), std::move(value)});
      } else {
        entry->value = std::move(value);
      }
    }
  }
  return sections;
}

std::optional<std::string> ProfileIni::Get(std::string_view section, std::string_view entry) const {
  for (const ProfileSection& candidate : Sections()) {
    if (!SameSectionName(candidate.name, section)) continue;
    for (const ProfileEntry& e : candidate.entries) {
      if (e.name == entry) return e.value;
    }
  }
  return std::nullopt;
}

bool ProfileIni::IsPlainForm() const {
  if (m_earlierForm) return false;
  std::vector<std::string_view> sectionsSeen;
  for (const Range& range : Ranges()) {
    std::vector<std::string_view> entriesSeen;
    for (std::size_t i = range.begin; i < range.end; ++i) {
      const LineMeaning line = Classify(m_lines[i].text);
      if (line.kind != LineKind::kEntry) continue;
      if (std::find(entriesSeen.begin(), entriesSeen.end(), line.name) != entriesSeen.end()) {
        return false;
      }
      entriesSeen.push_back(line.name);
    }
    // Lines before any header without entries name no section.
    if (range.header == std::string::npos && entriesSeen.empty()) continue;
    for (std::string_view seen : sectionsSeen) {
      if (SameSectionName(seen, range.name)) return false;
    }
    sectionsSeen.push_back(range.name);
  }
  return true;
}

void ProfileIni::MakePlainForm() {
  const std::vector<ProfileSection> sections = Sections();
  const std::string end = NewLineEnd();
  m_lines.clear();
  m_earlierForm = false;
  const auto write = [&](const ProfileSection& section) {
    std::vector<Line> entries;
    for (const ProfileEntry& entry : section.entries) {
      if (HoldableEntryName(entry.name) && HoldableValue(entry.value)) {
        entries.push_back({EntryLine(entry.name, entry.value), end});
      }
    }
    if (entries.empty() || !HoldableSectionName(section.name)) return;
    if (!m_lines.empty()) m_lines.push_back({{}, end});
    if (!section.name.empty()) m_lines.push_back({'[' + section.name + ']', end});
    m_lines.insert(m_lines.end(), entries.begin(), entries.end());
  };
  // Entries before any header can only be read back from the top of the file.
  for (const ProfileSection& section : sections) {
    if (section.name.empty()) write(section);
  }
  for (const ProfileSection& section : sections) {
    if (!section.name.empty()) write(section);
  }
}

const ProfileIni::Range* ProfileIni::FindRange(const std::vector<Range>& ranges,
                                               std::string_view section) const {
  for (const Range& range : ranges) {
    if (SameSectionName(range.name, section)) return &range;
  }
  return nullptr;
}

// New lines end as the file's first line does.
std::string ProfileIni::NewLineEnd() const {
  for (const Line& line : m_lines) {
    if (!line.end.empty()) return line.end;
  }
  return "\n";
}

void ProfileIni::InsertLine(std::size_t at, std::string text) {
  std::string end = NewLineEnd();
  if (at > 0 && m_lines[at - 1].end.empty()) m_lines[at - 1].end = end;
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at),
                 Line{std::move(text), std::move(end)});
}

bool ProfileIni::Set(std::string_view section, std::string_view entry, std::string_view value) {
  if (!HoldableSectionName(section) || !HoldableEntryName(entry)) return false;
  if (!HoldableValue(value)) {
    Remove(section, entry);
    return true;
  }
  if (!IsPlainForm()) MakePlainForm();
  const std::vector<Range> ranges = Ranges();
  const Range* range = FindRange(ranges, section);
  if (range == nullptr) {
    if (!m_lines.empty() && !IsBlankLine(m_lines.back().text)) InsertLine(m_lines.size(), {});
    InsertLine(m_lines.size(), '[' + std::string(section) + ']');
    InsertLine(m_lines.size(), EntryLine(entry, value));
    return true;
  }
  std::size_t lastEntry = std::string::npos;
  for (std::size_t i = range->begin; i < range->end; ++i) {
    const LineMeaning line = Classify(m_lines[i].text);
    if (line.kind != LineKind::kEntry) continue;
    if (line.name == entry) {
      // Only the value changes; the name and the blanks around it stay.
      std::string& text = m_lines[i].text;
      const std::size_t from = static_cast<std::size_t>(line.value.data() - text.data());
      text.replace(from, line.value.size(), EncodeValue(entry, value));
      return true;
    }
    lastEntry = i;
  }
  if (lastEntry != std::string::npos) {
    InsertLine(lastEntry + 1, EntryLine(entry, value));
  } else if (range->header != std::string::npos) {
    InsertLine(range->header + 1, EntryLine(entry, value));
  } else {
    // The first entry before any header, set apart from what follows.
    const bool setApart = !m_lines.empty() && !IsBlankLine(m_lines.front().text);
    InsertLine(0, EntryLine(entry, value));
    if (setApart) InsertLine(1, {});
  }
  return true;
}

void ProfileIni::Remove(std::string_view section, std::string_view entry) {
  if (!Get(section, entry)) return;
  if (!IsPlainForm()) MakePlainForm();
  std::vector<Range> ranges = Ranges();
  const Range* range = FindRange(ranges, section);
  if (range == nullptr) return;
  for (std::size_t i = range->begin; i < range->end; ++i) {
    const LineMeaning line = Classify(m_lines[i].text);
    if (line.kind == LineKind::kEntry && line.name == entry) {
      m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
  ranges = Ranges();
  range = FindRange(ranges, section);
  if (range != nullptr) RemoveEmptySection(*range);
}

// A section left with nothing but blank lines goes, with the blank lines that
// set it apart: those after it, or those before it when it was the last.
void ProfileIni::RemoveEmptySection(const Range& range) {
  for (std::size_t i = range.begin; i < range.end; ++i) {
    if (!IsBlankLine(m_lines[i].text)) return;
  }
  const bool last = range.end == m_lines.size();
  const std::size_t first = range.header == std::string::npos ? range.begin : range.header;
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(first),
                m_lines.begin() + static_cast<std::ptrdiff_t>(range.end));
  while (last && !m_lines.empty() && IsBlankLine(m_lines.back().text)) m_lines.pop_back();
}

std::string ProfileIni::Serialize() const {
  std::string text;
  for (const Line& line : m_lines) text += line.text + line.end;
  return text;
}

}  // namespace tavrel
