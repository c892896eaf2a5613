#include "model/profile_lock.h"

#include <algorithm>
#include <cstdio>

#include "model/profile_lock_platform.h"

namespace tavrel {
namespace {

// Between attempts: short at first, as an edit takes a moment.
constexpr int kFirstPauseMs = 1;
constexpr int kLongestPauseMs = 50;

}  // namespace

std::unique_ptr<ProfileLock> ProfileLock::Acquire(const std::string& profilePath,
                                                  std::chrono::milliseconds wait,
                                                  std::string* reason) {
  const std::intptr_t file = profile_lock::OpenTarget(profilePath);
  // Nothing to lock: the write that follows finds out why on its own.
  if (file == profile_lock::kNoFile) return std::unique_ptr<ProfileLock>(new ProfileLock(file));
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + wait;
  int pauseMs = kFirstPauseMs;
  for (;;) {
    // A file system without locks: the edit goes on as it always did.
    if (profile_lock::TryLock(file) != profile_lock::Attempt::kBusy) {
      return std::unique_ptr<ProfileLock>(new ProfileLock(file));
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    profile_lock::Pause(static_cast<int>(std::min<long long>(pauseMs, left)));
    pauseMs = std::min(2 * pauseMs, kLongestPauseMs);
  }
  profile_lock::Close(file);
  if (reason != nullptr) {
    const auto seconds = std::chrono::duration<double>(wait).count();
    char text[96];
    std::snprintf(text, sizeof text, "another program has been editing it for more than %g s",
                  seconds);
    *reason = text;
  }
  return nullptr;
}

ProfileLock::~ProfileLock() {
  if (handle_ != profile_lock::kNoFile) profile_lock::Close(handle_);
}

}  // namespace tavrel
