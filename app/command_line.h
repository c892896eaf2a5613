// The window program's command line.
#pragma once

#include <QString>
#include <QStringList>

#include "app/tavrel_app.h"

namespace tavrel {

struct CommandLine {
  StartOptions start;
  bool simulate = false;       // serve a virtual camera on COM1
  QString screenshotDir;       // save pictures of the windows there, then end
  QString traceFile;           // append every byte on the line to this file
  bool exitWhenShown = false;  // end as soon as the main window is up
  bool printMenu = false;      // print the menu bar's items, then end
  bool help = false;
  QString error;  // non-empty when the command line is wrong
};

CommandLine ParseCommandLine(const QStringList& arguments);

// True when the line names a settings file and nothing else: only such a start
// hands its file to a program already running. Any option asks for a program
// of its own (another link, pictures, a timing run), which then starts.
bool OnlyNamesAFile(const CommandLine& line);
// Whether the program runs until the user ends it, rather than ending by
// itself after the pictures, the menu listing or a start-up timing.
bool RunsUntilEnded(const CommandLine& line);
// Whether the program takes files handed over by later starts: only a run
// that lasts, for one that ends by itself would confirm a file it never opens.
bool TakesHandedFiles(const CommandLine& line);
QString UsageText();

// "com1:9600" or "board:PATH"; false when the text is neither.
bool ParseConnection(const QString& text, CommSelection& selection);

}  // namespace tavrel
