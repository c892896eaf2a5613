#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/camera_unit.h"
#include "model/parameter_document.h"
#include "model/settings_file.h"
#include "tests/model/camera_type_scope.h"
#include "tests/support/recording_prompt.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using testing::CameraTypeScope;
using testing::RecordingPrompt;

// Loading into a camera object with no link: every value that is stored can
// be seen in the table, and a write-all that is attempted fails with one
// error box, which is how these tests tell whether anything was sent.
class SettingsLoadTest : public ::testing::Test {
 protected:
  SettingsLoadTest() {
    CameraTypeScope scope(0);
    camera.InitTable();
    for (int index = 0; index < kParameterCount; ++index) camera.ResetValue(index);
    camera.SetUserPrompt(&prompt);
    char pattern[] = "/tmp/tavrel-load-XXXXXX";
    folder = ::mkdtemp(pattern);
  }
  ~SettingsLoadTest() override { fs::remove_all(folder); }

  // A settings file whose values are 1000 + index.
  static Bytes GoodFile() {
    CameraUnit source;
    for (int index = 0; index < kParameterCount; ++index)
      source.SetValue(index, 1000 + index, false);
    return EncodeSettings(source);
  }

  fs::path Write(const std::string& name, const Bytes& bytes) const {
    const fs::path path = folder / name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  std::vector<std::int32_t> Values() const {
    std::vector<std::int32_t> values;
    for (int index = 0; index < kParameterCount; ++index)
      values.push_back(camera.GetValue(index, false));
    return values;
  }

  RecordingPrompt prompt;
  CameraUnit camera;
  fs::path folder;
};

TEST_F(SettingsLoadTest, CompleteFileStoresEveryValueThenWritesTheTable) {
  EXPECT_EQ(LoadSettings(camera, GoodFile(), "/x/camera.tdx"), SettingsLoadResult::kLoaded);
  for (int index = 0; index < kParameterCount; ++index)
    EXPECT_EQ(camera.GetValue(index, false), 1000 + index);
  // The write-all was attempted: its failure is the one box.
  ASSERT_EQ(prompt.messages.size(), 1u);
  EXPECT_EQ(prompt.messages[0].text, "ERROR - Communication port not opened.");
}

TEST_F(SettingsLoadTest, HeaderMismatchNamesTheFileAndChangesNothing) {
  Bytes foreign = GoodFile();
  foreign[23] = '1';  // "...Version1.01"
  const fs::path path = Write("other.tdx", foreign);
  const std::vector<std::int32_t> before = Values();

  const SettingsLoadOutcome outcome = LoadSettingsFile(camera, path.string());
  EXPECT_EQ(outcome.result, SettingsLoadResult::kHeaderMismatch);
  EXPECT_EQ(Values(), before);
  ASSERT_EQ(prompt.messages.size(), 1u);
  const MessageRequest& box = prompt.messages[0];
  EXPECT_EQ(box.text,
            "File type mismatch.\nFile \"other.tdx\" does not contain data for  TAVREL CONTROL "
            "apprication.");
  EXPECT_EQ(box.caption, " TAVREL CONTROL");
  EXPECT_EQ(box.icon, MessageIcon::kExclamation);
  EXPECT_EQ(box.buttons, MessageButtons::kOk);
}

TEST_F(SettingsLoadTest, ShortFileKeepsTheValuesReadAndSendsNothing) {
  const Bytes good = GoodFile();
  const fs::path path = Write("short.tdx", Bytes(good.begin(), good.begin() + 100));
  EXPECT_EQ(LoadSettingsFile(camera, path.string()).result, SettingsLoadResult::kUnexpectedFormat);
  for (int index = 0; index < 19; ++index) EXPECT_EQ(camera.GetValue(index, false), 1000 + index);
  EXPECT_EQ(camera.GetValue(19, false), 0);
  EXPECT_EQ(camera.GetValue(26, false), 1236);
  EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(SettingsLoadTest, EmptyFileChangesNothingAndUnreadableFileSaysWhy) {
  const std::vector<std::int32_t> before = Values();
  EXPECT_EQ(LoadSettingsFile(camera, Write("empty.tdx", {}).string()).result,
            SettingsLoadResult::kEmpty);

  const SettingsLoadOutcome missing = LoadSettingsFile(camera, (folder / "none.tdx").string());
  EXPECT_EQ(missing.result, SettingsLoadResult::kCannotRead);
  EXPECT_EQ(missing.errorText, "No such file or directory");
  const SettingsLoadOutcome onFolder = LoadSettingsFile(camera, folder.string());
  EXPECT_EQ(onFolder.result, SettingsLoadResult::kCannotRead);
  EXPECT_FALSE(onFolder.errorText.empty());
  // A pipe with no writer would block the open for ever.
  const fs::path pipe = folder / "loaded-pipe.tdx";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const SettingsLoadOutcome fromPipe = LoadSettingsFile(camera, pipe.string());
  EXPECT_EQ(fromPipe.result, SettingsLoadResult::kCannotRead);
  EXPECT_EQ(fromPipe.errorText, kNotARegularFile);

  EXPECT_EQ(Values(), before);
  EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(SettingsLoadTest, DocumentIsUnmodifiedAfterEveryLoadThatReadTheFile) {
  ParameterDocument document(camera);
  const Bytes good = GoodFile();
  const struct {
    const char* name;
    Bytes bytes;
  } files[] = {{"good.tdx", good},
               {"short.tdx", Bytes(good.begin(), good.begin() + 30)},
               {"empty.tdx", {}},
               {"foreign.tdx", Bytes{3, 'a', 'b', 'c'}}};
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    document.SetModifiedFlag(true);
    EXPECT_NE(document.LoadFromFile(Write(file.name, file.bytes).string()).result,
              SettingsLoadResult::kCannotRead);
    EXPECT_FALSE(document.IsModified());
  }
  document.SetModifiedFlag(true);
  EXPECT_EQ(document.LoadFromFile((folder / "none.tdx").string()).result,
            SettingsLoadResult::kCannotRead);
  EXPECT_TRUE(document.IsModified());
  // A pipe with no writer would block the open for ever.
  const fs::path pipe = folder / "pipe.tdx";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const SettingsLoadOutcome fromPipe = document.LoadFromFile(pipe.string());
  EXPECT_EQ(fromPipe.result, SettingsLoadResult::kCannotRead);
  EXPECT_EQ(fromPipe.errorText, kNotARegularFile);
  EXPECT_TRUE(document.IsModified());

  EXPECT_FALSE(document.SaveToFile((folder / "none" / "x.tdx").string()).saved);
  EXPECT_TRUE(document.IsModified());
  EXPECT_TRUE(document.SaveToFile((folder / "saved.tdx").string()).saved);
  EXPECT_FALSE(document.IsModified());
}

}  // namespace
}  // namespace tavrel
