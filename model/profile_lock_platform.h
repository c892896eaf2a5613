// What the profile's lock asks of the platform: the file to lock, one
// attempt at the lock without waiting, letting go, and a short pause. One
// file per platform: profile_lock_posix.cpp, profile_lock_win32.cpp.
#pragma once

#include <cstdint>
#include <string>

namespace tavrel::profile_lock {

inline constexpr std::intptr_t kNoFile = -1;

// The lock file beside the profile, made where it is missing, or opened for
// reading where the user may not write it (another user's) or make it (a
// folder the user may not write: then the profile itself, which is written
// in place there). kNoFile when there is nothing to lock.
std::intptr_t OpenTarget(const std::string& profilePath);

enum class Attempt { kLocked, kBusy, kUnsupported };
Attempt TryLock(std::intptr_t file);

// Closes the file, letting go of its lock.
void Close(std::intptr_t file);

void Pause(int ms);

}  // namespace tavrel::profile_lock
