#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

// Moves the test program into a fresh folder of its own for its whole run and removes that
// folder at the end, so that whatever the code under test writes by a relative name (the
// command line's files are where it runs) never lands in the folder the tests were started
// from, be it the checkout or the build folder.
class OwnFolder {
 public:
  OwnFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tallyra-tests-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr && ::chdir(pattern.c_str()) == 0) m_path = pattern;
  }
  ~OwnFolder() {
    if (m_path.empty()) return;
    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(m_path, ignored);
  }
  OwnFolder(const OwnFolder&) = delete;
  OwnFolder& operator=(const OwnFolder&) = delete;

 private:
  std::string m_path;
};
