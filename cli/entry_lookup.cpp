#include "cli/entry_lookup.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>
#include <vector>

namespace tavrel::cli {
namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string out;
  for (const auto& item : items) {
    if (!out.empty()) out += ", ";
    out += item;
  }
  return out;
}

}  // namespace

std::optional<std::int32_t> ParseInteger(const std::string& text) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  if (digits.empty()) return std::nullopt;
  std::int64_t magnitude = 0;
  const auto [end, ec] =
      std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

EntryLookup FindEntry(const ParameterTable& table, const std::string& text) {
  EntryLookup result;
  if (!text.empty() &&
      std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
    const auto number = ParseInteger(text);
    if (number && *number >= 0 && *number < kParameterCount) {
      result.index = *number;
    } else {
      result.error = "entry index " + text + " is out of range (0 to 128)";
    }
    return result;
  }

  const std::string wanted = Upper(text);
  std::vector<int> matches;
  std::set<std::string> names;
  for (int i = 0; i < kParameterCount; ++i) {
    const std::string name = table.GetName(i);
    if (name.empty()) continue;
    names.insert(name);
    if (Upper(name) == wanted) matches.push_back(i);
  }
  if (matches.size() == 1) {
    result.index = matches.front();
    return result;
  }
  if (matches.empty()) {
    result.error = "unknown entry \"" + text + "\"; entries are an index 0 to 128 or one of: " +
                   Joined({names.begin(), names.end()});
    return result;
  }
  std::vector<std::string> indices;
  for (int i : matches) indices.push_back(std::to_string(i));
  result.error =
      "entry name \"" + text + "\" is ambiguous; give one of the indices " + Joined(indices);
  return result;
}

}  // namespace tavrel::cli
