#include "model/profile_ini.h"

#include <cstdint>
#include <optional>

namespace tavrel {
namespace {

constexpr std::string_view kBlanks = " \t\n\v\f\r";

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
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

bool IsHexDigit(char c) {
  const char lower = AsciiLower(c);
  return (c >= '0' && c <= '9') || (lower >= 'a' && lower <= 'f');
}

int HexValue(char c) {
  return c <= '9' ? c - '0' : AsciiLower(c) - 'a' + 10;
}

// Hex digits as one number; 0 where they do not fit in 32 bits, as earlier
// versions read them.
std::uint32_t HexNumber(std::string_view digits) {
  std::uint64_t number = 0;
  for (const char digit : digits) {
    number = number * 16 + static_cast<std::uint64_t>(HexValue(digit));
    if (number > UINT32_MAX) return 0;
  }
  return static_cast<std::uint32_t>(number);
}

// Earlier versions escaped characters as UTF-16 code units; this joins them
// (surrogate pairs included) into UTF-8 text. A lone surrogate becomes U+FFFD.
class Utf8Text {
 public:
  void AppendUnit(char16_t unit) {
    if (m_highSurrogate != 0 && unit >= 0xDC00 && unit <= 0xDFFF) {
      AppendCodePoint(0x10000 + ((char32_t{m_highSurrogate} - 0xD800) << 10) + (unit - 0xDC00));
      m_highSurrogate = 0;
      return;
    }
    FlushSurrogate();
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      m_highSurrogate = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      AppendCodePoint(0xFFFD);
    } else {
      AppendCodePoint(unit);
    }
  }

  void AppendByte(char byte) {
    FlushSurrogate();
    m_text += byte;
  }

  std::string Take() {
    FlushSurrogate();
    return std::move(m_text);
  }

 private:
  void FlushSurrogate() {
    if (m_highSurrogate == 0) return;
    m_highSurrogate = 0;
    AppendCodePoint(0xFFFD);
  }

  void AppendCodePoint(char32_t point) {
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (point < 0x80) {
      m_text += byte(point);
    } else if (point < 0x800) {
      m_text += byte(0xC0 | (point >> 6));
      m_text += byte(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
      m_text += byte(0xE0 | (point >> 12));
      m_text += byte(0x80 | ((point >> 6) & 0x3F));
      m_text += byte(0x80 | (point & 0x3F));
    } else {
      m_text += byte(0xF0 | (point >> 18));
      m_text += byte(0x80 | ((point >> 12) & 0x3F));
      m_text += byte(0x80 | ((point >> 6) & 0x3F));
      m_text += byte(0x80 | (point & 0x3F));
    }
  }

  std::string m_text;
  char16_t m_highSurrogate = 0;
};

// "%20" (a byte of the name's UTF-8) and "%U00E9" (a UTF-16 code unit), the
// escapes earlier versions used in section and entry names.
std::string PercentDecode(std::string_view name) {
  Utf8Text decoded;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '%' && i + 5 < name.size() && name[i + 1] == 'U' && IsHexDigit(name[i + 2]) &&
        IsHexDigit(name[i + 3]) && IsHexDigit(name[i + 4]) && IsHexDigit(name[i + 5])) {
      decoded.AppendUnit(static_cast<char16_t>(HexNumber(name.substr(i + 2, 4))));
      i += 5;
    } else if (name[i] == '%' && i + 2 < name.size() && IsHexDigit(name[i + 1]) &&
               IsHexDigit(name[i + 2])) {
      decoded.AppendByte(static_cast<char>(HexNumber(name.substr(i + 1, 2))));
      i += 2;
    } else {
      decoded.AppendByte(name[i]);
    }
  }
  return decoded.Take();
}

std::optional<char> ControlEscape(char letter) {
  switch (letter) {
    case 'a':
      return '\a';
    case 'b':
      return '\b';
    case 'f':
      return '\f';
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    case 'v':
      return '\v';
    default:
      return std::nullopt;
  }
}

// A value as earlier versions wrote it: quotes around text that needed them,
// backslash escapes ("\xHHHH" a UTF-16 code unit), and "@@" for a leading "@".
// Bytes of multi-byte UTF-8 characters are never quotes or backslashes, so the
// text is read byte by byte.
std::string UnescapeEarlierValue(std::string_view raw) {
  Utf8Text value;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '"') continue;
    if (c != '\\' || i + 1 == raw.size()) {
      value.AppendByte(c);
      continue;
    }
    const char next = raw[++i];
    if (const std::optional<char> control = ControlEscape(next)) {
      value.AppendByte(*control);
    } else if (next == 'x') {
      std::size_t end = i + 1;
      while (end < raw.size() && IsHexDigit(raw[end])) ++end;
      value.AppendUnit(static_cast<char16_t>(HexNumber(raw.substr(i + 1, end - i - 1))));
      i = end - 1;
    } else {
      value.AppendByte(next);
    }
  }
  std::string text = value.Take();
  if (text.starts_with("@@")) text.erase(0, 1);
  return text;
}

struct Line {
  std::string_view section;  // set for a section header
  std::string_view name;     // set for an entry
  std::string_view value;
  bool isSection = false;
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      lines.push_back({Trimmed(line.substr(1, line.size() - 2)), {}, {}, true});
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == 0 || equals == std::string_view::npos) continue;
    lines.push_back({{}, Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)), false});
  }
  return lines;
}

// Earlier versions percent-encoded every blank in a name, and every name the
// program uses has one ("COM Port", "Recent File List").
bool WrittenByEarlierVersion(const std::vector<Line>& lines) {
  for (const Line& line : lines) {
    if ((line.isSection ? line.section : line.name).find('%') != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

// Which values a line can hold: none with a line break, nor an empty one.
bool Writable(std::string_view value) {
  return !value.empty() && value.find_first_of("\n\r") == std::string_view::npos;
}

}  // namespace

ProfileIni ProfileIni::Parse(std::string_view text) {
  const std::vector<Line> lines = SplitLines(text);
  const bool earlier = WrittenByEarlierVersion(lines);
  ProfileIni ini;
  std::string section;
  for (const Line& line : lines) {
    if (line.isSection) {
      section = earlier ? PercentDecode(line.section) : std::string(line.section);
      continue;
    }
    ini.Set(section, earlier ? PercentDecode(line.name) : std::string(line.name),
            earlier ? UnescapeEarlierValue(line.value) : std::string(line.value));
  }
  return ini;
}

ProfileSection* ProfileIni::Find(std::string_view section) {
  for (ProfileSection& candidate : m_sections) {
    if (SameSectionName(candidate.name, section)) return &candidate;
  }
  return nullptr;
}

void ProfileIni::Set(std::string_view section, std::string_view entry, std::string_view value) {
  ProfileSection* found = Find(section);
  if (found == nullptr) found = &m_sections.emplace_back(ProfileSection{std::string(section), {}});
  for (ProfileEntry& existing : found->entries) {
    if (existing.name == entry) {
      existing.value = value;
      return;
    }
  }
  found->entries.push_back({std::string(entry), std::string(value)});
}

void ProfileIni::Remove(std::string_view section, std::string_view entry) {
  ProfileSection* found = Find(section);
  if (found == nullptr) return;
  std::erase_if(found->entries, [&](const ProfileEntry& e) { return e.name == entry; });
}

std::string ProfileIni::Serialize() const {
  std::string text;
  const auto write = [&text](const ProfileSection& section) {
    std::string entries;
    for (const ProfileEntry& entry : section.entries) {
      if (Writable(entry.value)) entries += entry.name + '=' + entry.value + '\n';
    }
    if (entries.empty()) return;
    if (!text.empty()) text += '\n';
    if (!section.name.empty()) text += '[' + section.name + "]\n";
    text += entries;
  };
  // Entries before any header can only be read back from the top of the file.
  for (const ProfileSection& section : m_sections) {
    if (section.name.empty()) write(section);
  }
  for (const ProfileSection& section : m_sections) {
    if (!section.name.empty()) write(section);
  }
  return text;
}

}  // namespace tavrel
