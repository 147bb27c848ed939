#include "platform/FileDialog.h"

#include <QDir>
#include <QFileDialog>

#include "platform/DialogScript.h"

namespace platform {
namespace {

std::optional<QString> Run(QWidget* owner, const FileDialogOptions& options,
                           QFileDialog::AcceptMode mode) {
  const bool save = mode == QFileDialog::AcceptSave;
  if (DialogScript* s = DialogScript::active()) {
    s->fileDialogs.push_back({save ? FileDialogRequest::Kind::Save : FileDialogRequest::Kind::Open,
                              options.title, options.fileName, options.filters,
                              options.defaultSuffix, save && options.confirmOverwrite});
    return s->nextFile();
  }
  QFileDialog dialog(owner, options.title, QDir::currentPath());
  // Qt's own dialog, so that its buttons and labels follow the interface language.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(options.filters);
  dialog.setDefaultSuffix(options.defaultSuffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
  dialog.selectFile(options.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace

std::optional<QString> GetOpenFileName(QWidget* owner, const FileDialogOptions& options) {
  return Run(owner, options, QFileDialog::AcceptOpen);
}

std::optional<QString> GetSaveFileName(QWidget* owner, const FileDialogOptions& options) {
  return Run(owner, options, QFileDialog::AcceptSave);
}

}  // namespace platform
