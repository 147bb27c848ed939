#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "model/DataFiles.h"
#include "model/TextTable.h"

namespace platform {

// A text of the table in the given language.
QString Tr(tallyra::TextId id, int32_t language);

// Bytes read from a user's file, shown in a message: UTF-8 when they are valid UTF-8,
// otherwise the Cyrillic 8-bit code page the files come in.
QString FromFileBytes(const std::string& bytes);

// A path as the core's file functions take it.
std::string ToLocalPath(const QString& path);
// A path of the core's, e.g. one of the program's own files, as Qt takes it.
QString FromLocalPath(const std::string& path);
// One of the program's own files (e.g. tallyra::kHelpFileName) in its data folder.
QString DataPath(const tallyra::DataFiles& files, std::string_view name);

// Makes Qt's own texts (Yes, No, file dialogs) follow the interface language.
void UseQtLanguage(int32_t language);

}  // namespace platform
