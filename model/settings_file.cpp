#include "model/settings_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "link/file_paths.h"
#include "link/user_prompt.h"
#include "model/camera_unit.h"
#include "model/file_descriptor.h"
#include "model/file_replace.h"
#include "model/parameter_table.h"
#include "model/program_message.h"
#include "res/string_table.h"

namespace tavrel {
namespace {

// Where the bytes of a settings file come from. Neither kind reads or skips
// past the end of the data, so a length prefix never makes the loader allocate
// more than the header it expects.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads exactly `count` bytes, or returns false at the end of the data.
  virtual bool Read(std::uint8_t* out, std::size_t count) = 0;
  // Passes over `count` bytes, or returns false at the end of the data.
  virtual bool Skip(std::uint64_t count) = 0;
  // Bytes consumed so far.
  virtual std::uint64_t Position() const = 0;
};

class SpanSource : public ByteSource {
 public:
  explicit SpanSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool Read(std::uint8_t* out, std::size_t count) override {
    if (count > bytes_.size() - offset_) return false;
    std::copy_n(bytes_.data() + offset_, count, out);
    offset_ += count;
    return true;
  }

  bool Skip(std::uint64_t count) override {
    if (count > bytes_.size() - offset_) return false;
    offset_ += static_cast<std::size_t>(count);
    return true;
  }

  std::uint64_t Position() const override { return offset_; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t offset_ = 0;
};

class FileSource : public ByteSource {
 public:
  explicit FileSource(int fd) : fd_(fd) {}

  bool Read(std::uint8_t* out, std::size_t count) override {
    while (count > 0) {
      const ssize_t got = ::read(fd_, out, count);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) error_ = errno;
      if (got <= 0) return false;
      out += got;
      count -= static_cast<std::size_t>(got);
      position_ += static_cast<std::uint64_t>(got);
    }
    return true;
  }

  bool Skip(std::uint64_t count) override {
    std::array<std::uint8_t, 4096> scrap{};
    while (count > 0) {
      const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(count, scrap.size()));
      if (!Read(scrap.data(), step)) return false;
      count -= step;
    }
    return true;
  }

  std::uint64_t Position() const override { return position_; }

  // The errno of a failed read, or 0 when the data simply ended.
  int Error() const { return error_; }

 private:
  int fd_;
  int error_ = 0;
  std::uint64_t position_ = 0;
};

std::uint16_t ReadLittle16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t ReadLittle32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) |
         (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// A text in the archive form: a length prefix (one byte below 0xFF; else 0xFF
// and a 16-bit length; 0xFFFF there announces a 32-bit length, 0xFFFE a text
// of 16-bit characters whose own prefix follows), then the characters.
struct TextPrefix {
  std::uint32_t length = 0;
  bool wide = false;
};

bool ReadTextPrefix(ByteSource& source, TextPrefix& prefix) {
  for (;;) {
    std::uint8_t first = 0;
    if (!source.Read(&first, 1)) return false;
    if (first < 0xFF) {
      prefix.length = first;
      return true;
    }
    std::array<std::uint8_t, 2> word{};
    if (!source.Read(word.data(), word.size())) return false;
    const std::uint16_t length16 = ReadLittle16(word.data());
    if (length16 == 0xFFFE) {
      // Each marker takes three bytes of the file, so this loop ends.
      prefix.wide = true;
      continue;
    }
    if (length16 < 0xFFFF) {
      prefix.length = length16;
      return true;
    }
    std::array<std::uint8_t, 4> dword{};
    if (!source.Read(dword.data(), dword.size())) return false;
    prefix.length = ReadLittle32(dword.data());
    return true;
  }
}

enum class HeaderCheck { kMatches, kDiffers, kEnded };

// Reads the header text and compares it, byte for byte, with the settings
// header. A text of any other length is passed over without being kept.
HeaderCheck ReadHeader(ByteSource& source) {
  TextPrefix prefix;
  if (!ReadTextPrefix(source, prefix)) return HeaderCheck::kEnded;
  const std::uint64_t charSize = prefix.wide ? 2 : 1;
  if (prefix.length != kSettingsHeaderText.size()) {
    return source.Skip(prefix.length * charSize) ? HeaderCheck::kDiffers : HeaderCheck::kEnded;
  }
  std::array<std::uint8_t, 2 * kSettingsHeaderText.size()> text{};
  if (!source.Read(text.data(), kSettingsHeaderText.size() * charSize)) return HeaderCheck::kEnded;
  for (std::size_t i = 0; i < kSettingsHeaderText.size(); ++i) {
    const std::uint32_t character =
        prefix.wide ? ReadLittle16(text.data() + 2 * i) : std::uint32_t{text[i]};
    if (character != static_cast<unsigned char>(kSettingsHeaderText[i]))
      return HeaderCheck::kDiffers;
  }
  return HeaderCheck::kMatches;
}

DecodedSettings Decode(ByteSource& source) {
  DecodedSettings decoded;
  switch (ReadHeader(source)) {
    case HeaderCheck::kEnded:
      // Not even a first byte: an empty file loads as nothing.
      decoded.result = source.Position() == 0 ? SettingsLoadResult::kEmpty
                                              : SettingsLoadResult::kUnexpectedFormat;
      return decoded;
    case HeaderCheck::kDiffers:
      decoded.result = SettingsLoadResult::kHeaderMismatch;
      return decoded;
    case HeaderCheck::kMatches:
      break;
  }
  decoded.values.reserve(kParameterCount);
  for (int index = 0; index < kParameterCount; ++index) {
    std::array<std::uint8_t, 4> bytes{};
    if (!source.Read(bytes.data(), bytes.size())) {
      decoded.result = SettingsLoadResult::kUnexpectedFormat;
      return decoded;
    }
    decoded.values.push_back(static_cast<std::int32_t>(ReadLittle32(bytes.data())));
  }
  // Whatever follows the last value is not ours to read.
  decoded.result = SettingsLoadResult::kLoaded;
  return decoded;
}

void AppendLittle32(std::vector<std::uint8_t>& bytes, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) {
    bytes.push_back(static_cast<std::uint8_t>((bits >> shift) & 0xFF));
  }
}

void ShowHeaderMismatch(CameraUnit& camera, std::string_view filePath) {
  UserPrompt* prompt = camera.GetUserPrompt();
  if (prompt == nullptr) return;
  prompt->ShowMessage(
      ProgramMessage(res::FormatMessage(res::kIdsFileTypeMismatch,
                                        {FileNameOf(filePath), res::LoadString(res::kIdsAppName)}),
                     MessageIcon::kExclamation));
}

std::string ErrorText(int error) {
  return std::strerror(error);
}

}  // namespace

DecodedSettings DecodeSettings(std::span<const std::uint8_t> bytes) {
  SpanSource source(bytes);
  return Decode(source);
}

std::vector<std::uint8_t> EncodeSettings(const ParameterTable& table) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(kSettingsFileSize);
  bytes.push_back(static_cast<std::uint8_t>(kSettingsHeaderText.size()));
  bytes.insert(bytes.end(), kSettingsHeaderText.begin(), kSettingsHeaderText.end());
  for (int index = 0; index < kParameterCount; ++index) {
    AppendLittle32(bytes, table.GetValue(index, true));
  }
  return bytes;
}

SettingsLoadResult ApplySettings(CameraUnit& camera, const DecodedSettings& decoded,
                                 std::string_view filePath) {
  if (decoded.result == SettingsLoadResult::kHeaderMismatch) {
    ShowHeaderMismatch(camera, filePath);
    return decoded.result;
  }
  for (std::size_t index = 0; index < decoded.values.size(); ++index) {
    camera.SetValue(static_cast<int>(index), decoded.values[index], true);
  }
  // Only a complete file goes to the camera. A failed write has shown its
  // own error box; the file is loaded either way.
  if (decoded.result == SettingsLoadResult::kLoaded) camera.WriteAllParameters();
  return decoded.result;
}

SettingsLoadResult LoadSettings(CameraUnit& camera, std::span<const std::uint8_t> bytes,
                                std::string_view filePath) {
  return ApplySettings(camera, DecodeSettings(bytes), filePath);
}

SettingsFileContents ReadSettingsFile(const std::string& path) {
  SettingsFileContents contents;
  // A settings file is a file on disk: a pipe or device would block the
  // program in open or read, waiting for a writer that may never come.
  if (KindOfFile(path) == FileKind::kOther) {
    contents.errorText = kNotARegularFile;
    return contents;
  }
  FileDescriptor file(OpenFileDescriptor(path, O_RDONLY | O_BINARY | O_CLOEXEC));
  if (file.Get() < 0) {
    contents.errorText = ErrorText(errno);
    return contents;
  }
  FileSource source(file.Get());
  contents.decoded = Decode(source);
  if (source.Error() != 0) {
    // A file that cannot be read (a folder, a failing disk) changes nothing.
    contents.errorText = ErrorText(source.Error());
    return contents;
  }
  contents.read = true;
  return contents;
}

SettingsLoadOutcome LoadSettingsFile(CameraUnit& camera, const std::string& path) {
  const SettingsFileContents contents = ReadSettingsFile(path);
  SettingsLoadOutcome outcome;
  if (!contents.read) {
    outcome.errorText = contents.errorText;
    return outcome;
  }
  outcome.result = ApplySettings(camera, contents.decoded, path);
  return outcome;
}

SettingsSaveOutcome SaveSettingsFile(const ParameterTable& table, const std::string& path) {
  SettingsSaveOutcome outcome;
  const int error = ReplaceFileContents(path, EncodeSettings(table));
  outcome.saved = error == 0;
  if (!outcome.saved) outcome.errorText = ErrorText(error);
  return outcome;
}

}  // namespace tavrel
