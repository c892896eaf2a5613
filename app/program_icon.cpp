#include "app/program_icon.h"

#include <QString>

// Resources of a static library are registered by name, outside any namespace.
static void RegisterIconResource() {
  Q_INIT_RESOURCE(program_icon);
}

namespace tavrel {

QIcon ProgramIcon() {
  static const bool registered = (RegisterIconResource(), true);
  (void)registered;
  QIcon icon;
  for (const int size : kProgramIconSizes) {
    icon.addFile(QStringLiteral(":/icons/tavrel-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace tavrel
