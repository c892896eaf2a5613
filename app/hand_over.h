// A start with nothing but a settings file, while the program already runs:
// the file goes to that program.
#pragma once

#include <QString>

namespace tavrel {

// Hands `document` to the program listening on `channelName`: true when it
// took the file. While that program is busy (its start-up dialog, a box, a
// camera exchange) the wait is said on stderr and in a small window of its
// own, which closes once the file is taken: a start from the desktop shows
// no stderr.
bool HandToRunningProgram(const QString& document, const QString& channelName);

}  // namespace tavrel
