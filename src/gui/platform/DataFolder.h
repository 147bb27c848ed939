#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

#include "model/Workspace.h"

namespace platform {

// Where the program keeps its files ("ini.tly", "Results.txt", "help.chm", "preferences.ini",
// "prizes.tly"), and where its file dialogs first start. It is chosen once at start and handed
// on as a tallyra::DataFiles; the working folder stays as the program was started, so a path
// the user typed keeps meaning what it meant.
enum class DataFolderKind {
  Current,    // started from a build folder: the folder it was started in, as before
  Installed,  // the user's data folder of the desktop (normally ~/.local/share/tallyra)
  Portable,   // the executable's own folder (a file "portable" beside it, or --portable)
  Given,      // the folder named by --data
};

// What the choice depends on, gathered at start.
struct DataFolderFacts {
  QString executableFolder;
  bool sharedFilesFound = false;  // ../share/tallyra beside the executable's folder
  bool portableMarker = false;    // a file named "portable" in the executable's folder
  bool portableOption = false;    // --portable
  QString dataOption;             // --data DIR; empty when not given
  QString userDataFolder;         // QStandardPaths::AppDataLocation
  QString workingFolder;          // the folder the program was started in
};

struct DataFolderChoice {
  DataFolderKind kind = DataFolderKind::Current;
  QString folder;  // absolute; for Current, the working folder at start
};

// --data wins, then portable use (the option or the marker), then the installed layout; a
// program found neither installed nor portable works where it was started.
DataFolderChoice ChooseDataFolder(const DataFolderFacts& facts);

// The shared files of an installed or unpacked program: "../share/tallyra" from the
// executable's folder, or nothing when that folder does not exist.
std::optional<QString> SharedFilesFolder(const QString& executableFolder);

// Where a data folder's missing files are copied from: the shared files of an installation,
// or else the copies a build folder keeps in its own "share/tallyra" beside the executable.
std::optional<QString> SeedFilesFolder(const QString& executableFolder);

// The files copied into a data folder that lacks them.
QStringList SeededFileNames();

// The interface language a new user gets (a Language's value): Russian where the desktop
// speaks Russian, English everywhere else.
int LanguageForLocale(const QLocale& locale);

// Makes the chosen folder (with its parents) and copies the missing seeded files into it from
// `seedFolder` (when there is one; a file the user already has is never replaced); the
// working folder is left as it is. The user's data folder of an installation also gets "ini.tly"
// when it has none (M 49 and `language`), so that a new user is not told at every start that the
// settings are missing; a folder the user named or a portable one is left as the user keeps
// it. Returns the message for the user, in both languages, when the folder cannot be made or
// entered (searched); a file that cannot be copied is left out silently, as the program runs
// without it. The working folder of Current is taken as it is.
std::optional<QString> PrepareDataFolder(
    const DataFolderChoice& choice, const std::optional<QString>& seedFolder,
    int language = tallyra::ToValue(tallyra::Language::English));

}  // namespace platform
