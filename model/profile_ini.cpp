#include "model/profile_ini.h"

#include <algorithm>
#include <unordered_map>

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

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
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

std::string ProfileIni::NameOf(std::string_view written) const {
  return m_earlierForm ? DecodeEarlierName(written) : std::string(written);
}

std::string ProfileIni::ValueOf(std::string_view written) const {
  if (m_earlierForm) return DecodeEarlierValue(written);
  return std::string(QuotedAround(written) ? written.substr(1, written.size() - 2) : written);
}

std::vector<ProfileSection> ProfileIni::Sections() const {
  std::vector<ProfileSection> sections;
  // Where each section and entry was first listed: one look-up a line.
  std::unordered_map<std::string, std::size_t> sectionAt;
  std::vector<std::unordered_map<std::string, std::size_t>> entryAt;
  std::size_t current = 0;
  bool named = false;  // `current` is the section of the lines being read
  std::string rangeName;
  for (const Line& line : m_lines) {
    const LineMeaning meaning = Classify(line.text);
    if (meaning.kind == LineKind::kHeader) {
      rangeName = NameOf(meaning.section);
      named = false;
      continue;
    }
    if (meaning.kind != LineKind::kEntry) continue;
    if (!named) {
      const auto [found, added] = sectionAt.try_emplace(LowerCase(rangeName), sections.size());
      if (added) {
        sections.push_back({rangeName, {}});
        entryAt.emplace_back();
      }
      current = found->second;
      named = true;
    }
    std::string name = NameOf(meaning.name);
    std::string value = ValueOf(meaning.value);
    auto& entries = sections[current].entries;
    const auto [found, added] = entryAt[current].try_emplace(name, entries.size());
    if (added) {
      entries.push_back({std::move(name), std::move(value)});
    } else {
      entries[found->second].value = std::move(value);
    }
  }
  return sections;
}

ProfileIni::Matches ProfileIni::Find(std::string_view section, std::string_view entry) const {
  Matches matches;
  // The lines before any header are the section named "".
  bool inSection = section.empty();
  bool inFirst = inSection;
  matches.firstRange.found = inSection;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    const LineMeaning meaning = Classify(m_lines[i].text);
    if (meaning.kind == LineKind::kHeader) {
      inSection = SameSectionName(NameOf(meaning.section), section);
      inFirst = inSection && !matches.firstRange.found;
      if (inFirst) {
        matches.firstRange.found = true;
        matches.firstRange.header = i;
      }
      continue;
    }
    if (meaning.kind != LineKind::kEntry || !inSection) continue;
    if (inFirst) matches.firstRange.lastEntry = i;
    if (NameOf(meaning.name) == entry) matches.lines.push_back(i);
  }
  return matches;
}

std::optional<std::string> ProfileIni::Get(std::string_view section, std::string_view entry) const {
  const Matches matches = Find(section, entry);
  if (matches.lines.empty()) return std::nullopt;
  // The last one read is the one that counts.
  return ValueOf(Classify(m_lines[matches.lines.back()].text).value);
}

// Each line of an earlier version's file put in the plain form where it
// stands, so that comments, blank lines, order and duplicates stay. What the
// plain form cannot hold goes: an entry whose name or value no line can
// hold, and a section whose name none can, with its entries.
void ProfileIni::ConvertEarlierForm() {
  bool sectionHeld = true;
  std::vector<Line> converted;
  converted.reserve(m_lines.size());
  for (Line& line : m_lines) {
    const LineMeaning meaning = Classify(line.text);
    if (meaning.kind == LineKind::kHeader) {
      const std::string name = DecodeEarlierName(meaning.section);
      sectionHeld = HoldableSectionName(name);
      if (sectionHeld) converted.push_back({'[' + name + ']', line.end});
    } else if (meaning.kind == LineKind::kEntry) {
      const std::string name = DecodeEarlierName(meaning.name);
      const std::string value = DecodeEarlierValue(meaning.value);
      if (sectionHeld && HoldableEntryName(name) && HoldableValue(value)) {
        converted.push_back({EntryLine(name, value), line.end});
      }
    } else {
      converted.push_back(std::move(line));
    }
  }
  m_lines = std::move(converted);
  m_earlierForm = false;
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
  if (m_earlierForm) ConvertEarlierForm();
  const Matches matches = Find(section, entry);
  if (!matches.lines.empty()) {
    // The line that is read is the one written; only its value changes, the
    // name and the blanks around it stay.
    std::string& text = m_lines[matches.lines.back()].text;
    const std::string_view written = Classify(text).value;
    const std::size_t from = static_cast<std::size_t>(written.data() - text.data());
    text.replace(from, written.size(), EncodeValue(entry, value));
    return true;
  }
  const MatchedRange& range = matches.firstRange;
  if (!range.found) {
    if (!m_lines.empty() && !IsBlankLine(m_lines.back().text)) InsertLine(m_lines.size(), {});
    InsertLine(m_lines.size(), '[' + std::string(section) + ']');
    InsertLine(m_lines.size(), EntryLine(entry, value));
  } else if (range.lastEntry != std::string::npos) {
    InsertLine(range.lastEntry + 1, EntryLine(entry, value));
  } else if (range.header != std::string::npos) {
    InsertLine(range.header + 1, EntryLine(entry, value));
  } else {
    // The first entry before any header, set apart from what follows.
    const bool setApart = !m_lines.empty() && !IsBlankLine(m_lines.front().text);
    InsertLine(0, EntryLine(entry, value));
    if (setApart) InsertLine(1, {});
  }
  return true;
}

void ProfileIni::Remove(std::string_view section, std::string_view entry) {
  if (Find(section, entry).lines.empty()) return;
  if (m_earlierForm) ConvertEarlierForm();
  // Every line of the entry goes, or an earlier one would be read instead.
  const Matches matches = Find(section, entry);
  std::vector<std::size_t> emptied;  // the headers of the ranges lines went from
  std::vector<Line> kept;
  kept.reserve(m_lines.size());
  std::size_t header = std::string::npos;
  std::size_t next = 0;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    if (Classify(m_lines[i].text).kind == LineKind::kHeader) header = kept.size();
    if (next < matches.lines.size() && matches.lines[next] == i) {
      ++next;
      if (emptied.empty() || emptied.back() != header) emptied.push_back(header);
      continue;
    }
    kept.push_back(std::move(m_lines[i]));
  }
  m_lines = std::move(kept);
  // From the last, so that the lines of the ones before keep their places.
  for (auto at = emptied.rbegin(); at != emptied.rend(); ++at) RemoveIfEmpty(*at);
}

// A section left with nothing but blank lines goes, with the blank lines that
// set it apart: those after it, or those before it when it was the last.
// `header` is its header line, or npos for the lines before any header.
void ProfileIni::RemoveIfEmpty(std::size_t header) {
  const std::size_t begin = header == std::string::npos ? 0 : header + 1;
  std::size_t end = begin;
  for (; end < m_lines.size(); ++end) {
    if (Classify(m_lines[end].text).kind == LineKind::kHeader) break;
    if (!IsBlankLine(m_lines[end].text)) return;
  }
  const bool last = end == m_lines.size();
  const std::size_t first = header == std::string::npos ? begin : header;
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(first),
                m_lines.begin() + static_cast<std::ptrdiff_t>(end));
  while (last && !m_lines.empty() && IsBlankLine(m_lines.back().text)) m_lines.pop_back();
}

std::string ProfileIni::Serialize() const {
  std::string text;
  for (const Line& line : m_lines) text += line.text + line.end;
  return text;
}

}  // namespace tavrel
