#pragma once

#include <QString>

namespace platform {

// Hands a document or an address to the desktop (xdg-open). The outcome is not examined.
void OpenWithDesktop(const QString& target);

}  // namespace platform
