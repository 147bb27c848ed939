#pragma once

#include <QString>

#include "model/DataFiles.h"

namespace platform {

// The program's own preferences beyond "ini.tly" (which keeps only M and the language, in the
// format older versions read): a small INI file, "preferences.ini", in the data folder.
// Keys are "group/name", e.g. "files/lastFolder" or "download/address". A missing or
// unreadable file reads as empty, and so does one that is no regular file or is larger than
// 1 MiB, which is then never saved over; a failed write is silent, since losing a preference
// costs the user nothing that matters.
QString ReadPreference(const tallyra::DataFiles& files, const QString& key,
                       const QString& fallback = QString());
void WritePreference(const tallyra::DataFiles& files, const QString& key, const QString& value);

}  // namespace platform
