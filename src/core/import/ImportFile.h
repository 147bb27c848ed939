#pragma once

#include <cstdint>
#include <string>

#include "model/Problem.h"

namespace tallyra {

struct ImportFileRead {
  std::string data;  // the whole file, when there is no problem
  Problem problem;   // why it was not read
};

// Reads a file to import, as the window and the command line both do: a regular file of at
// most kMaxImportBytes. A larger one is turned away before it is read (TxtImportTooLarge, with
// its size and the limit), any other failure names the file and the system's reason
// (TxtCannotOpen).
ImportFileRead ReadImportFile(const std::string& path);

// The message for a file ReadImportFile did not read, naming the file.
std::string DescribeImportFileProblem(const std::string& path, const Problem& problem,
                                      int32_t language);

}  // namespace tallyra
