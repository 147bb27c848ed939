#include "platform/Shell.h"

#include <QProcess>
#include <QVariant>
#include <QWidget>

#include "platform/DialogScript.h"

namespace platform {

void OpenWithDesktop(const QString& verb, const QString& target, int showCommand) {
  if (DialogScript* s = DialogScript::active()) {
    s->opened.push_back({verb, target, showCommand});
    return;
  }
  QProcess::startDetached(QStringLiteral("xdg-open"), {target});
}

bool DesktopOpensHelpFiles() {
  if (DialogScript* s = DialogScript::active()) return s->desktopOpensHelpFiles;
  QProcess query;
  query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                           QStringLiteral("application/vnd.ms-htmlhelp")});
  if (!query.waitForFinished(3000)) {
    query.kill();
    query.waitForFinished();
    return false;
  }
  return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
         !query.readAllStandardOutput().trimmed().isEmpty();
}

// A dynamic property, so that a dialog needs nothing of the help but its page's name.
void SetHelpTopic(QWidget& window, const QString& page) {
  window.setProperty("helpTopic", page);
}

QString HelpTopicOf(const QWidget& window) {
  return window.property("helpTopic").toString();
}

}  // namespace platform
