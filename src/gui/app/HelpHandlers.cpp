// Help, the About box, the options dialog and the banner's link, as the main window opens them.

#include "app/MainForm.h"
#include "dialogs/Form4.h"
#include "dialogs/Option.h"
#include "model/Publisher.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"

void TMainForm::N4Click() {
  platform::OpenWithDesktop(QString(), QStringLiteral("help.chm"), 9);
}

void TMainForm::N11Click() {
  platform::ExecModal(*Form4);
}

void TMainForm::N43Click() {
  platform::ExecModal(*Option);
}

void TMainForm::Image1Click() {
  platform::OpenWithDesktop(
      QStringLiteral("open"),
      QString::fromLatin1(m_ws->Language == 0 ? tallyra::publisher::kPageRussian
                                              : tallyra::publisher::kPageEnglish),
      1);
}
