// A COM port opened on a fresh pseudo-terminal at 9600 baud, whose master
// side the benchmark plays as the camera.
#pragma once

#include <pty.h>
#include <unistd.h>

#include <cstdio>

#include "link/comm_port.h"

namespace tavrel::bench {

// The master's descriptor, or -1 after printing why the port did not open.
inline int OpenPortOnPty(CommPort& port) {
  int master = -1;
  int slave = -1;
  char name[256] = {};
  if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
    std::perror("openpty");
    return -1;
  }
  close(slave);
  if (port.OpenSerialDevice(name, 9600) != 0) {
    std::fprintf(stderr, "open %s: %s\n", name, port.GetSystemErrorText().c_str());
    close(master);
    return -1;
  }
  return master;
}

}  // namespace tavrel::bench
