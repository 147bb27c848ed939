#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "model/Problem.h"

namespace tallyra {

// The program's own files in its data folder, by the names they have always had there (the
// settings file "ini.tly" is named in Settings.h, the prize table "prizes.tly" in Prizes.h).
// The draw history loaded at start, which the download and the import replace.
inline constexpr const char* kResultsFileName = "Results.txt";
// A download arrives here first; it replaces the history only once it is whole and good.
inline constexpr const char* kPartialResultsFileName = "Results.txt.download";
inline constexpr const char* kHelpFileName = "help.chm";
// The window's preferences beyond "ini.tly" (the last folder, the download's address).
inline constexpr const char* kPreferencesFileName = "preferences.ini";

// Where the program keeps its own files. It is chosen once at start and handed to whatever
// reads or writes one of them, so that nothing hangs on the process's working folder; this is
// the one place where the fixed names above become paths.
class DataFiles {
 public:
  // An empty folder keeps the names as they are, relative to the working folder: the command
  // line's own files are where the user runs it.
  explicit DataFiles(std::string folder = {}) : m_folder(std::move(folder)) {}

  const std::string& folder() const { return m_folder; }

  // The path of one of the program's own files, e.g. path(kResultsFileName).
  std::string path(std::string_view name) const {
    if (m_folder.empty()) return std::string(name);
    std::string full = m_folder;
    if (full.back() != '/') full += '/';
    full += name;
    return full;
  }

  // A path the user wrote into one of these files (a certificate file in "preferences.ini",
  // say): a relative one is read from the data folder, as it always was.
  std::string resolve(std::string_view written) const {
    if (written.empty() || written.front() == '/') return std::string(written);
    return path(written);
  }

  // A problem with one of these files as the user is told it: by the file's name, as the
  // messages have always named it, not by its place on the disk.
  Problem named(Problem problem, std::string_view name) const {
    const std::string full = path(name);
    for (std::string& arg : problem.args) {
      if (arg == full) arg = std::string(name);
    }
    return problem;
  }

 private:
  std::string m_folder;
};

}  // namespace tallyra
