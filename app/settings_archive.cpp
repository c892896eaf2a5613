#include "app/settings_archive.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "model/parameter_table.h"

namespace tavrel {
namespace {

constexpr std::string_view kHeader = "TAV-DX Data Version1.00";

bool ReadBytes(std::istream& in, void* buffer, std::size_t count) {
  in.read(static_cast<char*>(buffer), static_cast<std::streamsize>(count));
  return static_cast<std::size_t>(in.gcount()) == count;
}

bool ReadUnsigned(std::istream& in, std::size_t size, std::uint32_t& value) {
  std::uint8_t bytes[4] = {};
  if (!ReadBytes(in, bytes, size)) return false;
  value = 0;
  for (std::size_t i = size; i-- > 0;) value = (value << 8) | bytes[i];
  return true;
}

// The archive text form: a length prefix in one of its widths, then the text.
// 16-bit texts are read and their high bytes dropped.
bool ReadArchiveText(std::istream& in, std::string& text) {
  bool wide = false;
  std::uint32_t length = 0;
  for (;;) {
    if (!ReadUnsigned(in, 1, length)) return false;
    if (length < 0xFF) break;
    if (!ReadUnsigned(in, 2, length)) return false;
    if (length == 0xFFFE) {
      wide = true;
      continue;
    }
    if (length == 0xFFFF && !ReadUnsigned(in, 4, length)) return false;
    break;
  }
  text.clear();
  for (std::uint32_t i = 0; i < length; ++i) {
    std::uint32_t c = 0;
    if (!ReadUnsigned(in, wide ? 2 : 1, c)) return false;
    text.push_back(static_cast<char>(c & 0xFF));
  }
  return true;
}

}  // namespace

LoadOutcome LoadSettingsFile(const std::string& path, ParameterTable& table) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return LoadOutcome::kCannotOpen;
  if (in.peek() == std::ifstream::traits_type::eof()) return LoadOutcome::kEmpty;
  std::string header;
  if (!ReadArchiveText(in, header)) return LoadOutcome::kTruncated;
  if (header != kHeader) return LoadOutcome::kHeaderMismatch;
  for (int index = 0; index < kParameterCount; ++index) {
    std::uint32_t raw = 0;
    if (!ReadUnsigned(in, 4, raw)) return LoadOutcome::kTruncated;
    table.SetValue(index, static_cast<std::int32_t>(raw), true);
  }
  return LoadOutcome::kLoaded;
}

bool SaveSettingsFile(const std::string& path, const ParameterTable& table) {
  std::string bytes;
  bytes.push_back(static_cast<char>(kHeader.size()));
  bytes.append(kHeader);
  for (int index = 0; index < kParameterCount; ++index) {
    const auto value = static_cast<std::uint32_t>(table.GetValue(index, true));
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(value >> shift));
  }
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::remove(temporary.c_str());
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace tavrel
