#include "serial/open_failure.h"

namespace tavrel {

// The port's own reason stands alone here: there are no device groups, and
// nothing tells who holds a port.
std::string ExplainDeviceOpenFailure(const OpenFailure&, const SystemRoots&) {
  return {};
}

}  // namespace tavrel
