#include "platform/Shell.h"

#include <QProcess>

#include "platform/DialogScript.h"

namespace platform {

void OpenWithDesktop(const QString& target) {
  if (DialogScript* s = DialogScript::active()) {
    s->opened.push_back(target);
    return;
  }
  QProcess::startDetached(QStringLiteral("xdg-open"), {target});
}

}  // namespace platform
