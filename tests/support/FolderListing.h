#pragma once

#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

namespace test {

// The names in a folder, hidden ones included, sorted; nothing when it cannot be read.
inline std::vector<std::string> FolderListing(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace test
