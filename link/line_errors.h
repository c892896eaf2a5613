// The serial driver's line-error flags and the link error code each stands
// for. Both COM ports report their failures through this one mapping.
#pragma once

#include <cstdint>

#include "link/link_code.h"

namespace tavrel {

// Line-error flags, with the values the camera line has always used.
inline constexpr std::uint32_t kLineErrorRxOver = 0x0001;
inline constexpr std::uint32_t kLineErrorOverrun = 0x0002;
inline constexpr std::uint32_t kLineErrorRxParity = 0x0004;
inline constexpr std::uint32_t kLineErrorFrame = 0x0008;
inline constexpr std::uint32_t kLineErrorBreak = 0x0010;
inline constexpr std::uint32_t kLineErrorTxFull = 0x0100;
inline constexpr std::uint32_t kLineErrorPto = 0x0200;
inline constexpr std::uint32_t kLineErrorIoe = 0x0400;
inline constexpr std::uint32_t kLineErrorDns = 0x0800;
inline constexpr std::uint32_t kLineErrorOop = 0x1000;
inline constexpr std::uint32_t kLineErrorMode = 0x8000;

// The code of the first flag present, in the order the camera line has
// always reported them; the time-out code when none is.
LinkCode LineErrorCode(std::uint32_t flags);

}  // namespace tavrel
