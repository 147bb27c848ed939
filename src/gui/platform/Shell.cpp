#include "platform/Shell.h"

#include <QProcess>

#include "platform/DialogScript.h"

namespace platform {

void OpenWithDesktop(const QString& verb, const QString& target, int showCommand) {
  if (DialogScript* s = DialogScript::active()) {
    s->opened.push_back({verb, target, showCommand});
    return;
  }
  QProcess::startDetached(QStringLiteral("xdg-open"), {target});
}

}  // namespace platform
