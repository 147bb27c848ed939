#pragma once

#include <QDialog>

#include "collate/CoincidenceList.h"

class ListView;
class QPushButton;
class TMainForm;

// The list viewer: the whole text of one coincidence list, titled by its category.
class TShowForm final : public QDialog {
  Q_OBJECT
 public:
  explicit TShowForm(TMainForm& main);

  // Shows the list modally; returns when the viewer is closed, which forgets the list.
  void Open(tallyra::ListPtr list, const QString& caption);
  // Writes the whole list to a file chosen by the user.
  void SaveListClick();
  void CopyClick();

  ListView* Memo = nullptr;
  QPushButton* BitSave = nullptr;
  QPushButton* BitCopy = nullptr;

 private:
  TMainForm& m_main;
};

extern TShowForm* ShowForm;
