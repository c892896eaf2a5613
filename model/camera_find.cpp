#include "model/camera_find.h"

#include <cerrno>
#include <filesystem>
#include <map>
#include <set>

#include "model/reported_model.h"
#include "serial/open_failure.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace tavrel {
namespace {

struct Target {
  std::int32_t port = 0;
  std::string device;
  bool named = false;
};

// One key per device, however it is named (a by-id link, the node itself).
std::string DeviceKey(const std::string& path) {
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(path, error);
  return error ? path : real.string();
}

// An open that says only that there is nothing to probe: no such node, or
// a serial port the driver reserved without hardware behind it.
bool MeansNoDevice(const OpenFailure& failure) {
#ifdef _WIN32
  return failure.errorNumber == ERROR_FILE_NOT_FOUND || failure.errorNumber == ERROR_PATH_NOT_FOUND;
#else
  return failure.errorNumber == ENOENT || failure.errorNumber == ENXIO ||
         failure.errorNumber == EIO || failure.errorNumber == ENODEV;
#endif
}

int ThisProcess() {
#ifdef _WIN32
  return static_cast<int>(GetCurrentProcessId());
#else
  return static_cast<int>(getpid());
#endif
}

// "skipped, another program is using it: 1234 (minicom)"; empty when no other
// process holds the device.
std::string OtherHolders(const DeviceAccess& access) {
  std::string list;
  for (const FileHolder& holder : access.holders) {
    if (holder.pid == ThisProcess()) continue;
    list += (list.empty() ? "" : ", ") + std::to_string(holder.pid) + " (" + holder.command + ")";
  }
  return list.empty() ? std::string() : "skipped, another program is using it: " + list;
}

// The open failure's lines on one line, without the path it begins with.
std::string OpenFailureText(const OpenFailure& failure, const SystemRoots& roots) {
  std::string text = ExplainDeviceOpenFailure(failure, roots);
  if (text.empty()) text = failure.reason;
  const std::string prefix = failure.devicePath + ": ";
  if (text.compare(0, prefix.size(), prefix) == 0) text.erase(0, prefix.size());
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at)) {
    text.replace(at, 1, "; ");
  }
  return text;
}

class TargetList {
 public:
  explicit TargetList(const ComPortDirectory& directory) : directory_(directory) {
    for (std::int32_t port = kFirstComPort; port <= kLastComPort; ++port) {
      const std::string path = directory.Resolve(port).path;
      if (!path.empty()) comOfDevice_.emplace(DeviceKey(path), port);
    }
  }

  // Adds `path` unless its device is in the list already.
  void Add(const std::string& path, bool named) {
    if (path.empty() || !seen_.insert(DeviceKey(path)).second) return;
    const auto com = comOfDevice_.find(DeviceKey(path));
    targets_.push_back({com == comOfDevice_.end() ? 0 : com->second, path, named});
  }

  void AddCandidate(const std::string& text) {
    const std::optional<std::int32_t> port = ParseComPortName(text);
    Add(port ? directory_.Resolve(*port).path : text, true);
  }

  std::vector<Target>& Targets() { return targets_; }

 private:
  const ComPortDirectory& directory_;
  std::map<std::string, std::int32_t> comOfDevice_;
  std::set<std::string> seen_;
  std::vector<Target> targets_;
};

}  // namespace

CameraSearch FindCameras(const ComPortDirectory& directory,
                         const std::vector<std::string>& candidates, const ProbeWaits& waits) {
  TargetList list(directory);
  if (candidates.empty()) {
    for (std::int32_t port = kFirstComPort; port <= kLastComPort; ++port) {
      list.Add(directory.Resolve(port).path, false);
    }
    for (const SerialDevice& device : directory.DetectDevices()) list.Add(device.path, false);
  } else {
    for (const std::string& text : candidates) list.AddCandidate(text);
  }

  CameraSearch search;
  std::vector<Target> probed;
  {
    std::vector<std::string> paths;
    for (const Target& target : list.Targets()) paths.push_back(target.device);
    const std::vector<DeviceAccess> access = ProbeDevices(paths, directory.Roots());
    for (std::size_t i = 0; i < paths.size(); ++i) {
      const Target& target = list.Targets()[i];
      if (!target.named) {
        const std::string holders = OtherHolders(access[i]);
        if (!holders.empty()) {
          search.notes.push_back({target.port, target.device, holders});
          continue;
        }
      }
      probed.push_back(target);
    }
  }

  std::vector<std::string> paths;
  for (const Target& target : probed) paths.push_back(target.device);
  const std::vector<ProbeResult> results = ProbeLines(paths, waits);
  for (std::size_t i = 0; i < probed.size(); ++i) {
    const Target& target = probed[i];
    const ProbeResult& result = results[i];
    switch (result.kind) {
      case ProbeResult::Kind::kFound:
        search.found.push_back({target.port, target.device, result.baud, result.identification,
                                CameraTypeNamedBy(result.identification.modelName)});
        break;
      case ProbeResult::Kind::kIdentificationFailed:
        search.notes.push_back({target.port, target.device,
                                "a camera answered at " + std::to_string(result.baud) +
                                    " baud, but its identification read failed: " + result.reason});
        break;
      case ProbeResult::Kind::kLineFailed:
        if (result.openFailure.errorNumber == 0) {
          search.notes.push_back({target.port, target.device, result.reason});
        } else if (target.named || !MeansNoDevice(result.openFailure)) {
          search.notes.push_back(
              {target.port, target.device, OpenFailureText(result.openFailure, directory.Roots())});
        }
        break;
      case ProbeResult::Kind::kSilent:
        break;
    }
    if (result.openFailure.errorNumber == 0) ++search.probed;
  }
  return search;
}

std::string PlaceName(std::int32_t port, const std::string& device) {
  return port != 0 ? ComPortName(port) : device;
}

std::string CameraAnswersText(const FoundCamera& camera) {
  std::string text = "A camera answers on " + PlaceName(camera.port, camera.device) + " at " +
                     std::to_string(camera.baud) + " baud";
  if (!camera.identification.modelName.empty()) text += ": " + camera.identification.modelName;
  return text;
}

std::string CameraAnswersHint(const CameraSearch& search) {
  std::string hint;
  for (const FoundCamera& camera : search.found) hint += CameraAnswersText(camera) + "\n";
  return hint;
}

}  // namespace tavrel
