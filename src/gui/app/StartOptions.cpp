#include "app/StartOptions.h"

const char* const kWindowUsage =
    "usage: tallyra [--portable | --data DIR] [FILE]\n"
    "       tallyra --help | --version\n"
    "\n"
    "Starts the Tallyra window. Installed, it keeps its files in the user's data folder\n"
    "(normally ~/.local/share/tallyra); a file named \"portable\" beside the program keeps\n"
    "them in the program's folder.\n"
    "\n"
    "  --portable      keep the files in the program's own folder\n"
    "  --data DIR      keep the files in DIR (made when missing)\n"
    "  --quit-after MS close the window by itself after MS milliseconds\n"
    "  --help          print this text and exit\n"
    "  --version       print the version and exit\n"
    "  FILE            a stakes file to load at start\n";

StartOptions ParseStartOptions(const QStringList& arguments) {
  StartOptions o;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    auto value = [&]() -> std::optional<QString> {
      if (i + 1 >= arguments.size()) return std::nullopt;
      return arguments[++i];
    };
    if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
      o.help = true;
    } else if (arg == QStringLiteral("--version")) {
      o.version = true;
    } else if (arg == QStringLiteral("--portable")) {
      o.portable = true;
    } else if (arg == QStringLiteral("--data")) {
      const auto dir = value();
      if (!dir || dir->isEmpty()) {
        o.error = QStringLiteral("--data needs a folder");
        return o;
      }
      o.data = *dir;
    } else if (arg == QStringLiteral("--quit-after")) {
      const auto ms = value();
      bool ok = false;
      const int n = ms ? ms->toInt(&ok) : 0;
      if (!ok || n < 0) {
        o.error = QStringLiteral("--quit-after takes milliseconds");
        return o;
      }
      o.quitAfterMs = n;
    } else if (arg.startsWith(QLatin1Char('-')) && arg != QStringLiteral("-")) {
      o.error = QStringLiteral("unknown option '") + arg + QStringLiteral("'");
      o.errorMayBeQts = !arg.startsWith(QStringLiteral("--"));
      return o;
    } else if (o.file.isEmpty()) {
      o.file = arg;
    } else {
      o.error = QStringLiteral("only one file can be given");
      o.errorMayBeQts = true;  // the value of a Qt option, e.g. "-style fusion"
      return o;
    }
  }
  if (o.portable && !o.data.isEmpty())
    o.error = QStringLiteral("--portable and --data exclude each other");
  return o;
}
