#pragma once

#include <QString>

namespace platform {

// Hands a document or an address to the desktop (xdg-open), as the program would ask a shell
// with a verb ("" for the default one, or "open") and a show command (1 normal, 9 restore);
// the desktop chooses what opens it, so verb and show command only describe the request. The
// outcome is not examined.
void OpenWithDesktop(const QString& verb, const QString& target, int showCommand);

// Whether the desktop has a program for help files (".chm"): asks xdg-mime for the default
// program of their type. A desktop without xdg-mime has none.
bool DesktopOpensHelpFiles();

}  // namespace platform
