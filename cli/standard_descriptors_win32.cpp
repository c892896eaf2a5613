// A closed standard descriptor on Windows: the runtime's next open (a log or
// settings file) would take its number, so a stand-in opened read-only holds
// it.
#include <fcntl.h>
#include <io.h>

#include "cli/standard_output.h"

namespace tavrel::cli {

void HoldClosedStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    // -2 stands for a program without a console: the number is still taken.
    if (_get_osfhandle(fd) != -1) continue;
    const int standIn = _open("NUL", _O_RDONLY | _O_NOINHERIT);
    if (standIn >= 0 && standIn != fd) {
      _dup2(standIn, fd);
      _close(standIn);
    }
  }
}

}  // namespace tavrel::cli
