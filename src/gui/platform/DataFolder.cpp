#include "platform/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "model/TextTable.h"

namespace platform {

DataFolderChoice ChooseDataFolder(const DataFolderFacts& facts) {
  if (!facts.dataOption.isEmpty()) {
    return {DataFolderKind::Given, QDir::cleanPath(QDir(facts.dataOption).absolutePath())};
  }
  if (facts.portableOption || facts.portableMarker) {
    return {DataFolderKind::Portable, QDir::cleanPath(facts.executableFolder)};
  }
  if (facts.sharedFilesFound && !facts.userDataFolder.isEmpty()) {
    return {DataFolderKind::Installed, QDir::cleanPath(facts.userDataFolder)};
  }
  return {DataFolderKind::Current, QString()};
}

std::optional<QString> SharedFilesFolder(const QString& executableFolder) {
  const QString shared = QDir::cleanPath(executableFolder + QStringLiteral("/../share/tallyra"));
  if (!QFileInfo(shared).isDir()) return std::nullopt;
  return shared;
}

QStringList SeededFileNames() {
  return {QStringLiteral("Results.txt"), QStringLiteral("help.chm")};
}

std::optional<QString> EnterDataFolder(const DataFolderChoice& choice,
                                       const std::optional<QString>& sharedFolder) {
  if (choice.kind == DataFolderKind::Current) return std::nullopt;
  auto failure = [&] {
    const std::string folder = QDir::toNativeSeparators(choice.folder).toStdString();
    QString text;
    for (const int language : {0, 1}) {
      if (!text.isEmpty()) text += QStringLiteral("\n");
      text += QString::fromStdString(
          tallyra::Format(tallyra::TextId::TxtDataFolderFailed, language, {folder}));
    }
    return std::optional<QString>(text);
  };
  const QFileInfo info(choice.folder);
  if (info.exists() && !info.isDir()) return failure();
  if (!QDir().mkpath(choice.folder)) return failure();
  if (sharedFolder) {
    for (const QString& name : SeededFileNames()) {
      const QString target = choice.folder + QLatin1Char('/') + name;
      // A name that is a dangling link counts as taken too: the user put it there.
      if (QFileInfo(target).exists() || QFileInfo(target).isSymLink()) continue;
      const QString source = *sharedFolder + QLatin1Char('/') + name;
      if (QFile::copy(source, target)) {
        // The shared copy is read-only; the user's copy is theirs to change.
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
      }
    }
  }
  if (!QDir::setCurrent(choice.folder)) return failure();
  return std::nullopt;
}

}  // namespace platform
