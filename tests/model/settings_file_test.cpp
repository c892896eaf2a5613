#include "model/settings_file.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/model/camera_type_scope.h"
#include "tests/support/file_bytes.h"
#include "tests/support/recording_table.h"
#include "tests/support/temp_folder.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using testing::FolderNames;
using testing::ReadByteVector;
using testing::WriteBytes;

void Append(Bytes& bytes, std::initializer_list<int> values) {
  for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
}

void AppendText(Bytes& bytes, std::string_view text, bool wide = false) {
  for (char c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    if (wide) bytes.push_back(0);
  }
}

// Values 0..128 as 4-byte little-endian numbers 7 * index - 100.
void AppendValues(Bytes& bytes, int count = kParameterCount) {
  for (int index = 0; index < count; ++index) {
    const auto v = static_cast<std::uint32_t>(7 * index - 100);
    Append(bytes, {static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                   static_cast<int>((v >> 16) & 0xFF), static_cast<int>(v >> 24)});
  }
}

std::vector<std::int32_t> ExpectedValues(int count = kParameterCount) {
  std::vector<std::int32_t> values;
  for (int index = 0; index < count; ++index) values.push_back(7 * index - 100);
  return values;
}

TEST(SettingsFileTest, EncodesHeaderAndCameraFormValues) {
  testing::RecordingTable table;
  table.SetValue(0, 1, false);
  table.SetValue(10, 300, false);
  table.SetValue(128, -2, false);
  const Bytes bytes = EncodeSettings(table);
  ASSERT_EQ(bytes.size(), kSettingsFileSize);
  EXPECT_EQ(bytes[0], 23);
  EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 24), "TAV-DX Data Version1.00");
  EXPECT_EQ((Bytes{bytes.begin() + 24, bytes.begin() + 28}), (Bytes{1, 0, 0, 0}));
  EXPECT_EQ((Bytes{bytes.begin() + 64, bytes.begin() + 68}), (Bytes{0x2C, 0x01, 0, 0}));
  EXPECT_EQ((Bytes{bytes.end() - 4, bytes.end()}), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));

  const DecodedSettings decoded = DecodeSettings(bytes);
  EXPECT_EQ(decoded.result, SettingsLoadResult::kLoaded);
  ASSERT_EQ(decoded.values.size(), 129u);
  EXPECT_EQ(decoded.values[10], 300);
  EXPECT_EQ(decoded.values[128], -2);
}

TEST(SettingsFileTest, AcceptsEveryFormOfTheHeaderLength) {
  struct Case {
    const char* form;
    Bytes prefix;
    bool wide;
  };
  const Case cases[] = {
      {"one byte", {23}, false},
      {"16-bit", {0xFF, 23, 0}, false},
      {"32-bit", {0xFF, 0xFF, 0xFF, 23, 0, 0, 0}, false},
      {"wide, one byte", {0xFF, 0xFE, 0xFF, 23}, true},
      {"wide, 16-bit", {0xFF, 0xFE, 0xFF, 0xFF, 23, 0}, true},
      {"wide, 32-bit", {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 23, 0, 0, 0}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.form);
    Bytes bytes = c.prefix;
    AppendText(bytes, kSettingsHeaderText, c.wide);
    AppendValues(bytes);
    const DecodedSettings decoded = DecodeSettings(bytes);
    EXPECT_EQ(decoded.result, SettingsLoadResult::kLoaded);
    EXPECT_EQ(decoded.values, ExpectedValues());
  }
}

TEST(SettingsFileTest, ForeignAndBrokenFiles) {
  struct Case {
    const char* what;
    Bytes bytes;
    SettingsLoadResult result;
    std::size_t values;
  };
  Bytes good{23};
  AppendText(good, kSettingsHeaderText);
  AppendValues(good);

  Bytes lastCharacter{23};
  AppendText(lastCharacter, "TAV-DX Data Version1.01");
  AppendValues(lastCharacter);
  Bytes lowerCase{23};
  AppendText(lowerCase, "tav-dx data version1.00");
  Bytes otherLength{3};
  AppendText(otherLength, "TAV");
  AppendValues(otherLength);
  Bytes wideNonAscii{0xFF, 0xFE, 0xFF, 23};
  for (int i = 0; i < 23; ++i) Append(wideNonAscii, {'T', 1});
  Bytes longer = good;
  longer.resize(600, 0xAB);

  const Case cases[] = {
      {"header differs in its last character", lastCharacter, SettingsLoadResult::kHeaderMismatch,
       0},
      {"header in other case", lowerCase, SettingsLoadResult::kHeaderMismatch, 0},
      {"header of another length", otherLength, SettingsLoadResult::kHeaderMismatch, 0},
      {"wide header with other characters", wideNonAscii, SettingsLoadResult::kHeaderMismatch, 0},
      {"empty", {}, SettingsLoadResult::kEmpty, 0},
      {"cut at 100 bytes", Bytes(good.begin(), good.begin() + 100),
       SettingsLoadResult::kUnexpectedFormat, 19},  // (100 - 24) / 4 whole values
      {"cut inside the header", Bytes(good.begin(), good.begin() + 10),
       SettingsLoadResult::kUnexpectedFormat, 0},
      {"one value byte short", Bytes(good.begin(), good.end() - 1),
       SettingsLoadResult::kUnexpectedFormat, 128},
      {"16-bit length past the end",
       {0xFF, 0x00, 0x10, 'T', 'A', 'V'},
       SettingsLoadResult::kUnexpectedFormat,
       0},
      {"huge 32-bit length",
       {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 'T'},
       SettingsLoadResult::kUnexpectedFormat,
       0},
      {"huge wide length",
       {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
       SettingsLoadResult::kUnexpectedFormat,
       0},
      {"wide markers only",
       {0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF},
       SettingsLoadResult::kUnexpectedFormat,
       0},
      {"600 bytes", longer, SettingsLoadResult::kLoaded, 129},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const DecodedSettings decoded = DecodeSettings(c.bytes);
    EXPECT_EQ(decoded.result, c.result);
    EXPECT_EQ(decoded.values, ExpectedValues(static_cast<int>(c.values)));
  }
}

// Saving: the file is replaced only once the new one is complete.
class SettingsSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tavrel-save-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder = pattern;
    table.SetValue(10, 300, false);
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path folder;
  testing::RecordingTable table;
};

TEST_F(SettingsSaveTest, SaveReplacesTheOldFileWithTheCurrentValues) {
  const fs::path file = folder / "camera.tdx";
  WriteBytes(file, Bytes(1000, 0x55));
  ::chmod(file.c_str(), 0640);
  const SettingsSaveOutcome outcome = SaveSettingsFile(table, file.string());
  EXPECT_TRUE(outcome.saved) << outcome.errorText;
  EXPECT_EQ(ReadByteVector(file), EncodeSettings(table));
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"camera.tdx"});

  // A file name without a folder is saved in the current folder.
  const fs::path saved = fs::current_path();
  fs::current_path(folder);
  EXPECT_TRUE(SaveSettingsFile(table, "plain.tdx").saved);
  fs::current_path(saved);
  EXPECT_EQ(ReadByteVector(folder / "plain.tdx").size(), kSettingsFileSize);
}

TEST_F(SettingsSaveTest, FailedSaveLeavesThePreviousFileAndSaysWhy) {
  const Bytes old(540, 0x11);
  const fs::path file = folder / "camera.tdx";
  WriteBytes(file, old);

  // The disk fills up while the new file is written: a file-size limit makes
  // the write fail even for root.
  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &previous);
  struct rlimit limit {};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  struct rlimit small = limit;
  small.rlim_cur = 100;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const SettingsSaveOutcome full = SaveSettingsFile(table, file.string());
  ::setrlimit(RLIMIT_FSIZE, &limit);
  ::sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_FALSE(full.saved);
  EXPECT_EQ(full.errorText, std::strerror(EFBIG));
  EXPECT_EQ(ReadByteVector(file), old);
  EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"camera.tdx"});

  // A name that is a folder stays a folder.
  fs::create_directory(folder / "folder.tdx");
  const SettingsSaveOutcome onFolder = SaveSettingsFile(table, (folder / "folder.tdx").string());
  EXPECT_FALSE(onFolder.saved);
  EXPECT_FALSE(onFolder.errorText.empty());
  EXPECT_TRUE(fs::is_directory(folder / "folder.tdx"));
  EXPECT_EQ(FolderNames(folder), (std::vector<std::string>{"camera.tdx", "folder.tdx"}));

  // A folder that does not exist.
  const SettingsSaveOutcome missing =
      SaveSettingsFile(table, (folder / "missing" / "camera.tdx").string());
  EXPECT_FALSE(missing.saved);
  EXPECT_EQ(missing.errorText, std::strerror(ENOENT));
}

TEST_F(SettingsSaveTest, SavingThroughALinkReplacesTheFileItNames) {
  const fs::path file = folder / "real.tdx";
  WriteBytes(file, Bytes(10, 0));
  fs::create_symlink(file, folder / "link.tdx");
  EXPECT_TRUE(SaveSettingsFile(table, (folder / "link.tdx").string()).saved);
  EXPECT_TRUE(fs::is_symlink(folder / "link.tdx"));
  EXPECT_EQ(ReadByteVector(file), EncodeSettings(table));
}

}  // namespace
}  // namespace tavrel
