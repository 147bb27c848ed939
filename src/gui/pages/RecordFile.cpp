#include "pages/RecordFile.h"

#include <QFileInfo>
#include <new>
#include <utility>

#include "import/ImportFile.h"
#include "import/Importer.h"
#include "lists/RecordReader.h"
#include "model/Problem.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"

using tallyra::TextId;

namespace pages {

bool ApplyRecordFile(QWidget* owner, int32_t language, const QString& path,
                     const tallyra::FileText& file, tallyra::TableRef table, int32_t& count,
                     bool keepLatest, QString& notice) {
  notice.clear();
  auto showError = [&](const std::string& text) {
    platform::ShowError(owner, platform::Tr(TextId::TxtAppTitle, language),
                        QString::fromUtf8(text));
  };
  try {
    if (!file.ok) {
      platform::ShowProblem(
          owner, tallyra::Problem{TextId::TxtCannotOpen, {path.toStdString()}, 0, file.error},
          language);
      return false;
    }
    tallyra::ReadOutcome outcome = tallyra::ReadRecordLines(
        file.data, table, count,
        keepLatest ? tallyra::OverflowRule::KeepLatest : tallyra::OverflowRule::RejectFile);
    // A bad token or an unfinished line is the file's own bytes, in whatever encoding the
    // file has.
    outcome.token = platform::FromFileBytes(outcome.token).toStdString();
    outcome.unfinishedText = platform::FromFileBytes(outcome.unfinishedText).toStdString();
    const std::string message = tallyra::DescribeReadOutcome(outcome, language);
    if (!outcome.ok()) {
      showError(message);
      return false;
    }
    notice = QString::fromUtf8(message);
    return true;
  } catch (const std::bad_alloc&) {
    // The reader is all or nothing, so the list is as it was.
    showError(tallyra::Text(TextId::TxtOutOfMemory, language));
    return false;
  }
}

bool LoadRecordFile(QWidget* owner, int32_t language, const QString& path, tallyra::TableRef table,
                    int32_t& count, bool keepLatest, QString& notice) {
  return ApplyRecordFile(
      owner, language, path,
      tallyra::ReadWholeFile(platform::ToLocalPath(path), tallyra::kMaxListFileBytes), table, count,
      keepLatest, notice);
}

void ShowLoadNotice(QWidget* owner, int32_t language, const QString& notice) {
  if (!notice.isEmpty())
    platform::ShowMessage(owner, platform::Tr(TextId::TxtAppTitle, language), notice);
}

std::optional<std::pair<std::string, QString>> PickImportFile(
    QWidget* owner, int32_t language, const tallyra::DataFiles& files,
    const platform::FileDialogOptions& openOptions, ImportKind kind) {
  platform::FileDialogOptions open = openOptions;
  open.fileName = QString();
  const TextId titles[] = {TextId::TxtImportTitleResults, TextId::TxtImportTitleStakes,
                           TextId::TxtImportTitleSystem};
  const TextId filters[] = {TextId::TxtFilterDrawHistories, TextId::TxtFilterStakeLists,
                            TextId::TxtFilterSystemLists};
  const auto k = static_cast<std::size_t>(kind);
  open.title = platform::Tr(titles[k], language);
  open.filters = {platform::Tr(filters[k], language), platform::Tr(TextId::TxtFilterAll, language)};
  const std::optional<QString> path = platform::GetOpenFileName(owner, files, open);
  if (!path) return std::nullopt;
  const std::string local = platform::ToLocalPath(*path);
  tallyra::ImportFileRead file = tallyra::ReadImportFile(local);
  if (file.problem) {
    platform::ShowError(
        owner, platform::Tr(TextId::TxtAppTitle, language),
        QString::fromUtf8(tallyra::DescribeImportFileProblem(local, file.problem, language)));
    return std::nullopt;
  }
  return std::make_pair(std::move(file.data), QFileInfo(*path).fileName());
}

}  // namespace pages
