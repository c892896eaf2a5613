#include "serial/terminal.h"

namespace tavrel {

std::int64_t CharacterTimeUs(const LineSettings& settings) {
  if (settings.baud <= 0) return 0;
  const int bits =
      1 + settings.byteSize + (settings.parity != 0 ? 1 : 0) + (settings.stopBits != 0 ? 2 : 1);
  return bits * std::int64_t{1'000'000} / settings.baud;
}

Terminal& Terminal::operator=(Terminal&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.Release();
  }
  return *this;
}

}  // namespace tavrel
