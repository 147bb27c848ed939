#pragma once

#include <QDialog>

#include "collate/CoincidenceList.h"
#include "dialogs/DialogFrame.h"
#include "model/TextTable.h"
#include "platform/FileDialog.h"

class ListTextView;
class QPushButton;

// The list viewer: the whole text of one coincidence list, titled by its category, with
// commands to copy the selection and to write the list to a file.
class ListViewer final : public QDialog {
  Q_OBJECT
 public:
  // The save dialog first starts in the data folder of `files`.
  ListViewer(QWidget* owner, LanguageSource language, const tallyra::DataFiles& files);

  // Shows the list modally; returns when the viewer is closed, which forgets the list. The
  // save dialog starts from `saveOptions` (its title and file name are the viewer's own).
  void showList(tallyra::ListPtr list, const QString& caption,
                const platform::FileDialogOptions& saveOptions);

 private:
  template <typename F>
  void Guarded(F&& handler) {
    platform::RunHandler(parentWidget(), std::forward<F>(handler));
  }
  QString T(tallyra::TextId id) const;
  // Writes the whole list to a file chosen by the user.
  void saveList();
  void copySelection();

  ListTextView* m_text = nullptr;
  QPushButton* m_saveButton = nullptr;
  QPushButton* m_copyButton = nullptr;

  LanguageSource m_language;
  const tallyra::DataFiles m_files;
  platform::FileDialogOptions m_saveOptions;
};
