#include "link/line_errors.h"

namespace tavrel {
namespace {

struct LineErrorEntry {
  std::uint32_t flag;
  LinkCode code;
};

// The first flag present, in this order, decides.
constexpr LineErrorEntry kLineErrorOrder[] = {
    {kLineErrorMode, LinkCode::kLineModeError},
    {kLineErrorBreak, LinkCode::kLineBreak},
    {kLineErrorFrame, LinkCode::kFramingError},
    {kLineErrorIoe, LinkCode::kLineIoError},
    {kLineErrorOverrun, LinkCode::kCharacterOverrun},
    {kLineErrorRxOver, LinkCode::kReceiveBufferFull},
    {kLineErrorRxParity, LinkCode::kParityError},
    {kLineErrorTxFull, LinkCode::kTransmitBufferFull},
    {kLineErrorDns, LinkCode::kDeviceNotSelected},
    {kLineErrorPto, LinkCode::kDeviceTimeOut},
    {kLineErrorOop, LinkCode::kOutOfPaper},
};

}  // namespace

LinkCode LineErrorCode(std::uint32_t flags) {
  for (const LineErrorEntry& entry : kLineErrorOrder) {
    if ((flags & entry.flag) != 0) return entry.code;
  }
  return LinkCode::kTimeOut;
}

}  // namespace tavrel
