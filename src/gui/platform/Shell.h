#pragma once

#include <QString>

class QWidget;

namespace platform {

// Hands a document or an address to the desktop (xdg-open), as the program would ask a shell
// with a verb ("" for the default one, or "open") and a show command (1 normal, 9 restore);
// the desktop chooses what opens it, so verb and show command only describe the request. The
// outcome is not examined.
void OpenWithDesktop(const QString& verb, const QString& target, int showCommand);

// Whether the desktop has a program for help files (".chm"): asks xdg-mime for the default
// program of their type. A desktop without xdg-mime has none.
bool DesktopOpensHelpFiles();

// The page of the help that F1 opens while a window of the program is active, e.g.
// "wheels.html": a dialog names its own page, and the main window's F1 handler reads it from
// the window the key was pressed in. Empty for a window that names none.
void SetHelpTopic(QWidget& window, const QString& page);
QString HelpTopicOf(const QWidget& window);

}  // namespace platform
