// Feeds arbitrary settings files to the reader; whatever it reads must be written back and
// read again to the same values.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const tallyra::SettingsOutcome first = tallyra::ParseSettings(text);
  if (first.language != 0 && first.language != 1) std::abort();
  if (first.highestNumber < 0 || first.highestNumber > 99) std::abort();
  const tallyra::SettingsOutcome again =
      tallyra::ParseSettings(tallyra::FormatSettings(first.highestNumber, first.language));
  if (again.message || again.highestNumber != first.highestNumber ||
      again.language != first.language) {
    std::abort();
  }
  return 0;
}
