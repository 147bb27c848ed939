#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "model/DataFiles.h"

class QWidget;

namespace platform {

struct FileDialogOptions {
  QString title;
  QString fileName;       // preset name in the name box
  QStringList filters;    // Qt name filters, e.g. "*.txt (*.txt)"
  QString defaultSuffix;  // added when the typed name has none
  bool confirmOverwrite = true;
  QString folder =
      QString();  // where the dialog starts; empty: the folder used last, kept between runs
};

// The open and save dialogs. They never change the working directory. Nothing is returned on
// cancel. Unless the options name a folder, a dialog starts in the folder of the file chosen
// last (the preference "files/lastFolder", kept in the data folder), or in the data folder
// when that is gone.
std::optional<QString> GetOpenFileName(QWidget* owner, const tallyra::DataFiles& files,
                                       const FileDialogOptions& options);
std::optional<QString> GetSaveFileName(QWidget* owner, const tallyra::DataFiles& files,
                                       const FileDialogOptions& options);

}  // namespace platform
