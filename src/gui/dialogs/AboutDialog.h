#pragma once

#include <QDialog>

#include "dialogs/DialogFrame.h"
#include "model/TextTable.h"

class QLabel;

namespace platform {
class ClickLabel;
}

// The About box, with the mail and web links of the publisher.
class AboutDialog final : public QDialog {
  Q_OBJECT
 public:
  AboutDialog(QWidget* owner, LanguageSource language);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  template <typename F>
  void Guarded(F&& handler) {
    platform::RunHandler(parentWidget(), std::forward<F>(handler));
  }
  QString T(tallyra::TextId id) const;
  void writeLetter();
  void visitSite();

  QLabel* m_icon = nullptr;
  QLabel* m_idea = nullptr;
  platform::ClickLabel* m_mailLink = nullptr;
  QLabel* m_description = nullptr;
  QLabel* m_rights = nullptr;
  platform::ClickLabel* m_siteLink = nullptr;
  QLabel* m_versionLabel = nullptr;
  QLabel* m_version = nullptr;

  LanguageSource m_language;
};
