#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The window program's command line: tallyra [--portable | --data DIR] [FILE].
struct StartOptions {
  bool help = false;
  bool version = false;
  bool portable = false;
  QString data;          // --data DIR
  int quitAfterMs = -1;  // --quit-after MS: leave by itself, for checks of an installation
  QString file;          // a list file to load into the stakes, as a desktop hands it over
  QString error;         // a mistaken call: what is wrong
  // Whether the mistake may be an option of Qt's own (one dash, like -platform), which only
  // the application takes out of the arguments.
  bool errorMayBeQts = false;
};

// Reads the arguments after the program's name.
StartOptions ParseStartOptions(const QStringList& arguments);

// The usage text of --help.
extern const char* const kWindowUsage;
