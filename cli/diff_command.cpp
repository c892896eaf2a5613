#include "cli/diff_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <nlohmann/json.hpp>
#include <vector>

#include "cli/exit_status.h"
#include "cli/path_validator.h"
#include "model/camera_unit.h"
#include "model/settings_compare.h"
#include "model/settings_file.h"
#include "res/string_table.h"

namespace tavrel::cli {
namespace {

constexpr const char* kFooter = R"(
Each differing entry is printed as index<TAB>name<TAB>left<TAB>right, left
from FILE1, right from the camera (or FILE2); nothing when they agree.
A settings file records no model: --model, given before diff, decides which
entries count. Both files are read before the port is opened.
On the production line, after a camera is set up:
  tavrelctl diff line4.tdx && echo OK
)";

void PrintDifferences(const CameraUnit& camera, const std::vector<SettingsDifference>& differences,
                      bool json, std::ostream& out) {
  if (json) {
    nlohmann::json entries = nlohmann::json::array();
    for (const SettingsDifference& d : differences) {
      entries.push_back({{"index", d.index},
                         {"name", camera.GetName(d.index)},
                         {"left", d.left},
                         {"right", d.right}});
    }
    out << entries.dump(2) << '\n';
    return;
  }
  for (const SettingsDifference& d : differences) {
    out << d.index << '\t' << camera.GetName(d.index) << '\t' << d.left << '\t' << d.right << '\n';
  }
}

}  // namespace

DiffCommand::DiffCommand(CLI::App& app) {
  diff_ = app.add_subcommand(
      "diff",
      "compare a settings file with the camera, or with a second file (no link); "
      "exit 0 when they agree, 1 when they differ");
  // An empty FILE2 would quietly mean the camera.
  const CLI::Validator named = NonEmptyPath();
  diff_->add_option("FILE1", leftFile_, "the settings file (.tdx)")->required()->check(named);
  diff_->add_option("FILE2", rightFile_, "a second settings file to compare instead of the camera")
      ->check(named);
  diff_->add_flag("--all", all_,
                  "compare every entry the model reads, identification included (default: the "
                  "entries write-all writes)");
  diff_->add_flag("--json", json_, "print JSON: [{index, name, left, right}, ...]");
  diff_->footer(kFooter);
  app.footer(app.get_footer() +
             "\ndiff exits 0 when the camera holds a settings file's values and 1 when it\n"
             "does not:  tavrelctl diff line4.tdx && echo OK\n");
}

bool DiffCommand::Parsed() const {
  return diff_->parsed();
}

bool DiffCommand::ComparesWithCamera() const {
  return rightFile_.empty();
}

int DiffCommand::Read(CameraUnit& camera, const std::string& path, Values& values,
                      std::ostream& err) const {
  const SettingsFileContents contents = ReadSettingsFile(path);
  if (!contents.read) {
    err << res::LoadString(res::kIdsFailedToOpenDoc) << ' ' << path << ": " << contents.errorText
        << '\n';
    return kExitFile;
  }
  switch (contents.decoded.result) {
    case SettingsLoadResult::kLoaded:
      std::copy(contents.decoded.values.begin(), contents.decoded.values.end(), values.begin());
      return kExitOk;
    case SettingsLoadResult::kHeaderMismatch:
      // Shows the mismatch message as loading the file does; changes nothing.
      ApplySettings(camera, contents.decoded, path);
      return kExitFile;
    case SettingsLoadResult::kEmpty:
      // Loading an empty file changes nothing, but it holds nothing to compare.
      err << res::LoadString(res::kIdsUnexpectedFormat) << ' ' << path << ": the file is empty\n";
      return kExitFile;
    case SettingsLoadResult::kUnexpectedFormat:
    case SettingsLoadResult::kCannotRead:
      break;
  }
  err << res::LoadString(res::kIdsUnexpectedFormat) << ' ' << path << ": the file ends after "
      << contents.decoded.values.size() << " of " << kParameterCount << " values\n";
  return kExitFile;
}

int DiffCommand::Check(CameraUnit& camera, std::ostream& err) {
  if (const int status = Read(camera, leftFile_, left_, err); status != kExitOk) return status;
  if (ComparesWithCamera()) return kExitOk;
  return Read(camera, rightFile_, right_, err);
}

int DiffCommand::Run(CameraUnit& camera, std::ostream& out) {
  if (ComparesWithCamera()) {
    if (camera.ReadAllParameters() < 0) return kExitCamera;
    for (int index = 0; index < kParameterCount; ++index) {
      right_[index] = camera.GetValue(index, true);
    }
  }
  const std::vector<SettingsDifference> differences =
      CompareSettings(camera, left_, right_, all_ ? CompareScope::kRead : CompareScope::kWritten);
  PrintDifferences(camera, differences, json_, out);
  return differences.empty() ? kExitOk : kExitDiffer;
}

}  // namespace tavrel::cli
