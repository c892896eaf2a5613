// The program's own icon, in every size the desktop asks for.
#pragma once

#include <QIcon>
#include <QList>

namespace tavrel {

// Pixel sizes of the icon's pictures (also installed into the hicolor theme).
inline const QList<int> kProgramIconSizes{16, 22, 24, 32, 48, 64, 128, 256};

QIcon ProgramIcon();

}  // namespace tavrel
