// The menu bar as text, one line per item, for scripts and checks that cannot
// look at the window: "&Interface" then "  Manual Command...", "  -" for a
// separator.
#pragma once

#include <QString>

class QMainWindow;

namespace tavrel {

QString MenuListing(const QMainWindow& window);

}  // namespace tavrel
