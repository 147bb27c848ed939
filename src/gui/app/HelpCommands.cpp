#include "app/HelpCommands.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <utility>

#include "dialogs/AboutDialog.h"
#include "dialogs/HelpWindow.h"
#include "model/Publisher.h"
#include "model/Workspace.h"
#include "platform/Handler.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"
#include "platform/Shell.h"

HelpCommands::HelpCommands(QWidget& owner, LanguageSource language, AboutDialog& about,
                           const tallyra::DataFiles& files)
    : m_owner(owner), m_language(std::move(language)), m_about(about), m_files(files) {
  // The dialogs' F1 comes by the program's event filter: a dialog knows its page of the help
  // but not the help window.
  qApp->installEventFilter(this);
}

void HelpCommands::openHelpAt(const QString& page, QWidget* over) {
  // The help file opens as it always did where the desktop has a program for it; elsewhere the
  // program's own help window shows the same pages.
  if (platform::DesktopOpensHelpFiles()) {
    platform::OpenWithDesktop(QString(), platform::DataPath(m_files, tallyra::kHelpFileName), 9);
    return;
  }
  // A modal dialog blocks every window but its own children, the owner's help window too.
  if (over && over != &m_owner && over->isModal()) {
    auto* own = over->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!own) own = new HelpWindow(over);
    own->showPage(m_language(), page);
    return;
  }
  if (!m_helpWindow) m_helpWindow = new HelpWindow(&m_owner);
  m_helpWindow->showPage(m_language(), page);
}

bool HelpCommands::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
    const auto* key = static_cast<QKeyEvent*>(event);
    QWidget* window = static_cast<QWidget*>(watched)->window();
    if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && window != &m_owner) {
      const QString page = platform::HelpTopicOf(*window);
      if (!page.isEmpty()) {
        platform::RunHandler(&m_owner, [&] { openHelpAt(page, window); });
        return true;
      }
    }
  }
  return QObject::eventFilter(watched, event);
}

void HelpCommands::showAbout() {
  platform::ExecModal(m_about);
}

void HelpCommands::openPublisherPage() {
  platform::OpenWithDesktop(
      QStringLiteral("open"),
      QString::fromLatin1(m_language() == tallyra::ToValue(tallyra::Language::Russian)
                              ? tallyra::publisher::kPageRussian
                              : tallyra::publisher::kPageEnglish),
      1);
}
