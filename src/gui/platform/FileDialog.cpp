#include "platform/FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/DialogScript.h"
#include "platform/Preferences.h"
#include "platform/QtTexts.h"

namespace platform {
namespace {

const QString kLastFolder = QStringLiteral("files/lastFolder");

QString StartFolder(const tallyra::DataFiles& files, const FileDialogOptions& options) {
  if (!options.folder.isEmpty()) return options.folder;
  const QString last = ReadPreference(files, kLastFolder);
  if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
  return QDir(FromLocalPath(files.folder())).absolutePath();
}

// The chosen file's folder is where the next dialog starts.
std::optional<QString> Remember(const tallyra::DataFiles& files,
                                const std::optional<QString>& chosen) {
  if (chosen && !chosen->isEmpty()) {
    WritePreference(files, kLastFolder, QFileInfo(*chosen).absolutePath());
  }
  return chosen;
}

std::optional<QString> Run(QWidget* owner, const tallyra::DataFiles& files,
                           const FileDialogOptions& options, QFileDialog::AcceptMode mode) {
  const bool save = mode == QFileDialog::AcceptSave;
  const QString folder = StartFolder(files, options);
  if (DialogScript* s = DialogScript::active()) {
    s->fileDialogs.push_back({save ? FileDialogRequest::Kind::Save : FileDialogRequest::Kind::Open,
                              options.title, options.fileName, options.filters,
                              options.defaultSuffix, save && options.confirmOverwrite, folder});
    return Remember(files, s->nextFile());
  }
  QFileDialog dialog(owner, options.title, folder);
  // Qt's own dialog, so that its buttons and labels follow the interface language.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(options.filters);
  dialog.setDefaultSuffix(options.defaultSuffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
  dialog.selectFile(options.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return Remember(files, dialog.selectedFiles().constFirst());
}

}  // namespace

std::optional<QString> GetOpenFileName(QWidget* owner, const tallyra::DataFiles& files,
                                       const FileDialogOptions& options) {
  return Run(owner, files, options, QFileDialog::AcceptOpen);
}

std::optional<QString> GetSaveFileName(QWidget* owner, const tallyra::DataFiles& files,
                                       const FileDialogOptions& options) {
  return Run(owner, files, options, QFileDialog::AcceptSave);
}

}  // namespace platform
