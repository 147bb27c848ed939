#pragma once

#include <QString>
#include <string>

#include "model/TextTable.h"

namespace platform {

// A text of the table in the given language.
QString Tr(tallyra::TextId id, int32_t language);

// Bytes read from a user's file, shown in a message: UTF-8 when they are valid UTF-8,
// otherwise the Cyrillic 8-bit code page the files come in.
QString FromFileBytes(const std::string& bytes);

// A path as the core's file functions take it.
std::string ToLocalPath(const QString& path);

// Makes Qt's own texts (Yes, No, file dialogs) follow the interface language.
void UseQtLanguage(int32_t language);

}  // namespace platform
