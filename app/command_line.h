// The window program's command line.
#pragma once

#include <QString>
#include <QStringList>

#include "app/tavrel_app.h"

namespace tavrel {

struct CommandLine {
  StartOptions start;
  bool simulate = false;         // serve a virtual camera on COM1
  int simulatedCameraType = -1;  // its model when --model chose one, else the dialog's
  QString screenshotDir;         // save pictures of the windows there, then end
  QString traceFile;             // append every byte on the line to this file
  bool exitWhenShown = false;    // end as soon as the main window is up
  bool printMenu = false;        // print the menu bar's items, then end
  bool help = false;
  QString error;  // non-empty when the command line is wrong
};

CommandLine ParseCommandLine(const QStringList& arguments);

// A start with nothing but a settings file (or nothing at all), under the
// program's own name: the start the desktop makes. Only such a start hands
// its file to a program already running, and only such a program takes the
// files later starts hand over. Any option (another link, pictures, a timing
// run) or the service name asks for a program of its own, which neither
// hands nor takes files: a file opened from the desktop must not land in a
// service-mode program or one on another camera.
bool IsPlainStart(const CommandLine& line, bool serviceName);
// A plain start that names a settings file.
bool HandsItsFileOver(const CommandLine& line, bool serviceName);
// Whether the program runs until the user ends it, rather than ending by
// itself after the pictures, the menu listing or a start-up timing.
bool RunsUntilEnded(const CommandLine& line);
QString UsageText();

// "com1:9600" or "board:PATH"; false when the text is neither.
bool ParseConnection(const QString& text, CommSelection& selection);

}  // namespace tavrel
