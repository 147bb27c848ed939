#pragma once

#include <QObject>
#include <QString>

#include "dialogs/DialogFrame.h"
#include "model/DataFiles.h"

class AboutDialog;
class HelpWindow;
class QWidget;

// Help > Help and Help > About, the banner's link to the publisher, and F1 in any dialog that
// names its page of the help. The owner is the window the help belongs to; the program's help
// window and the About box are its children, and it outlives these commands.
class HelpCommands final : public QObject {
  Q_OBJECT
 public:
  // Watches the whole program's keys from here on, for the dialogs' F1. The help file is
  // "help.chm" in the data folder of `files`.
  HelpCommands(QWidget& owner, LanguageSource language, AboutDialog& about,
               const tallyra::DataFiles& files);

  // Shows a page of the help (e.g. "wheels.html") for the window `over`: a modal dialog gets a
  // help window of its own, as the owner's one would wait behind the dialog.
  void openHelpAt(const QString& page, QWidget* over);
  void showAbout();
  void openPublisherPage();
  // The program's own help window, once the help has opened it; that of a modal dialog is the
  // dialog's child.
  HelpWindow* helpWindow() const { return m_helpWindow; }

 protected:
  // F1 in a dialog that names its page of the help (platform::SetHelpTopic) opens that page.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& m_owner;
  LanguageSource m_language;
  AboutDialog& m_about;
  const tallyra::DataFiles m_files;
  HelpWindow* m_helpWindow = nullptr;  // made when first needed
};
