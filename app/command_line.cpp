#include "app/command_line.h"

#include <algorithm>

#include "model/link_choice.h"
#include "model/parameter_table.h"

namespace tavrel {

bool ParseConnection(const QString& text, CommSelection& selection) {
  selection = CommSelection{};
  selection.opened = true;
  const std::optional<LinkChoice> link = ParseLinkText(text.toStdString());
  if (!link) return false;
  if (link->kind == LinkChoice::Kind::kBoard) {
    selection.linkKind = 1;
    selection.portChoice = kOtherLibraryChoice;
    selection.dllPath = link->path;
    return true;
  }
  selection.linkKind = 0;
  selection.portChoice = link->port - 1;
  // The dialog's baud choice is the rate's place among the line rates.
  selection.baudChoice = static_cast<int>(
      std::find(kLineRates.begin(), kLineRates.end(), link->baud) - kLineRates.begin());
  return true;
}

QString UsageText() {
  return QStringLiteral(
      "Usage: tavrel [options] [settings-file.tdx]\n"
      "\n"
      "Remote control of the camera over a COM port or a CameraLink board.\n"
      "A settings file named on the command line is opened and written to the camera.\n"
      "Named alone while the program runs, it opens in the running program, the one\n"
      "started without options and not under the service name: a program started\n"
      "with any option takes no files handed over this way.\n"
      "\n"
      "Options:\n"
      "  --connect LINK     skip the start-up dialog: com1:9600 .. com10:38400, or board:PATH\n"
      "                     (PATH is the board's serial library)\n"
      "  --model NAME       camera model (case ignored; default KESTRA-P/S), with --connect\n"
      "                     or --simulate (then the virtual camera's model):\n"
      "                     LOMIRA-P/S PAVON-P/S SOVELI-P/S RINDAL-P/S KESTRA-P/S QUESSA-P/S "
      "TEMBRA-P/S\n"
      "  --simulate         serve a virtual camera of the chosen model on COM1\n"
      "  --screenshot DIR   save pictures of the main window and the dialogs in DIR, then end\n"
      "  --exit-when-shown  end as soon as the main window is shown (start-up timing)\n"
      "  --print-menu       print the menu items the program offers under this name and end,\n"
      "                     without the start-up\n"
      "  --trace FILE       append every byte on the line to FILE\n"
      "  --line-monitor     start with the line monitor open: every exchange on the line,\n"
      "                     decoded (Ctrl+M shows and hides it)\n"
      "  -h, --help         show this text\n"
      "\n"
      "Exit status: 0 a normal end, 1 the start-up dialog cancelled or the start-up\n"
      "failed, or no display, 2 a mistake on the command line, 5 the program failed in\n"
      "itself (the reason is printed on stderr).\n");
}

bool IsPlainStart(const CommandLine& line, bool serviceName) {
  return !serviceName && line.error.isEmpty() && !line.help && !line.start.preset &&
         !line.simulate && line.screenshotDir.isEmpty() && !line.exitWhenShown && !line.printMenu &&
         line.traceFile.isEmpty() && !line.start.lineMonitor;
}

bool HandsItsFileOver(const CommandLine& line, bool serviceName) {
  return IsPlainStart(line, serviceName) && !line.start.document.isEmpty();
}

bool RunsUntilEnded(const CommandLine& line) {
  return line.screenshotDir.isEmpty() && !line.printMenu && !line.exitWhenShown;
}

CommandLine ParseCommandLine(const QStringList& arguments) {
  CommandLine line;
  QString model;
  QString connection;
  auto value = [&](qsizetype& i) -> QString {
    if (i + 1 >= arguments.size()) {
      line.error = QStringLiteral("%1 needs a value").arg(arguments.at(i));
      return {};
    }
    return arguments.at(++i);
  };
  for (qsizetype i = 1; i < arguments.size() && line.error.isEmpty(); ++i) {
    const QString& argument = arguments.at(i);
    if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
      line.help = true;
    } else if (argument == QLatin1String("--simulate")) {
      line.simulate = true;
    } else if (argument == QLatin1String("--exit-when-shown")) {
      line.exitWhenShown = true;
    } else if (argument == QLatin1String("--line-monitor")) {
      line.start.lineMonitor = true;
    } else if (argument == QLatin1String("--print-menu")) {
      line.printMenu = true;
    } else if (argument == QLatin1String("--connect")) {
      connection = value(i);
    } else if (argument == QLatin1String("--model")) {
      model = value(i);
    } else if (argument == QLatin1String("--screenshot")) {
      line.screenshotDir = value(i);
    } else if (argument == QLatin1String("--trace")) {
      line.traceFile = value(i);
    } else if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
      line.error = QStringLiteral("unknown option %1").arg(argument);
    } else if (!line.start.document.isEmpty()) {
      line.error = QStringLiteral("only one settings file can be opened");
    } else {
      line.start.document = argument;
    }
  }
  if (!line.error.isEmpty() || line.help) return line;
  if (!connection.isEmpty()) {
    CommSelection selection;
    if (!ParseConnection(connection, selection)) {
      line.error =
          QStringLiteral("bad --connect value %1 (com1:9600 or board:PATH)").arg(connection);
      return line;
    }
    line.start.preset = selection;
  }
  if (!model.isEmpty()) {
    if (!line.start.preset && !line.simulate) {
      line.error = QStringLiteral("--model needs --connect or --simulate");
      return line;
    }
    const int type = CameraTypeFromName(model.toUpper().toStdString());
    if (type < 0) {
      line.error = QStringLiteral("unknown camera model %1").arg(model);
      return line;
    }
    if (line.start.preset) line.start.presetCameraType = type;
    if (line.simulate) line.simulatedCameraType = type;
  }
  return line;
}

}  // namespace tavrel
