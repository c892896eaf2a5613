#include "model/profile_earlier_form.h"

#include <cstdint>
#include <optional>

namespace tavrel {
namespace {

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
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

}  // namespace

bool IsEarlierFormName(std::string_view name) {
  return name.find('%') != std::string_view::npos;
}

// "%20" (a byte of the name's UTF-8) and "%U00E9" (a UTF-16 code unit), the
// escapes earlier versions used in section and entry names.
std::string DecodeEarlierName(std::string_view name) {
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

// A value as earlier versions wrote it: quotes around text that needed them,
// backslash escapes ("\xHHHH" a UTF-16 code unit), and "@@" for a leading "@".
// Bytes of multi-byte UTF-8 characters are never quotes or backslashes, so the
// text is read byte by byte.
std::string DecodeEarlierValue(std::string_view raw) {
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

}  // namespace tavrel
