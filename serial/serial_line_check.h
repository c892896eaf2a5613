// Whether a path can be a serial line at all, told without opening it (an
// open would raise the modem lines and could reset what is attached): for
// the COM port assignments and the port list.
#pragma once

#include <string>

#include "serial/port_scan.h"

namespace tavrel {

// Why `path` can never carry the camera's line ("/tmp is a directory, not a
// serial device"): a directory, a regular file, a FIFO, a socket, a block
// device, or a character device that is no terminal (/dev/null). Empty when
// it may be one: a terminal, a serial device the system lists, a path that
// names nothing now (an adapter may be unplugged), or one whose kind cannot
// be told.
std::string WhyNotASerialLine(const std::string& path, const SystemRoots& roots = {});

}  // namespace tavrel
