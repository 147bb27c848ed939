#include "import/ImportFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <utility>

#include "import/Importer.h"
#include "model/Files.h"

namespace tallyra {

ImportFileRead ReadImportFile(const std::string& path) {
  ImportFileRead read;
  FileText file = ReadWholeFile(path, kMaxImportBytes);
  if (file.ok) {
    read.data = std::move(file.data);
  } else if (file.error == kFileTooLarge) {
    // The size as it stands now; a file that grew while it was read is at least one byte over.
    struct stat st {};
    const auto size = ::stat(path.c_str(), &st) == 0 && st.st_size > 0
                          ? static_cast<unsigned long long>(st.st_size)
                          : static_cast<unsigned long long>(kMaxImportBytes) + 1;
    read.problem = {TextId::TxtImportTooLarge,
                    {std::to_string(std::max<unsigned long long>(size, kMaxImportBytes + 1)),
                     std::to_string(kMaxImportBytes)},
                    0,
                    0};
  } else {
    read.problem = {TextId::TxtCannotOpen, {path}, 0, file.error};
  }
  return read;
}

std::string DescribeImportFileProblem(const std::string& path, const Problem& problem,
                                      int32_t language) {
  // The other problems name the file already.
  if (problem.text == TextId::TxtImportTooLarge) return path + ": " + Describe(problem, language);
  return Describe(problem, language);
}

}  // namespace tallyra
