#include "platform/DataFolder.h"

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "model/Settings.h"
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
  return {DataFolderKind::Current, QDir::cleanPath(facts.workingFolder)};
}

std::optional<QString> SharedFilesFolder(const QString& executableFolder) {
  const QString shared = QDir::cleanPath(executableFolder + QStringLiteral("/../share/tallyra"));
  if (!QFileInfo(shared).isDir()) return std::nullopt;
  return shared;
}

std::optional<QString> SeedFilesFolder(const QString& executableFolder) {
  if (std::optional<QString> shared = SharedFilesFolder(executableFolder)) return shared;
  const QString build = QDir::cleanPath(executableFolder + QStringLiteral("/share/tallyra"));
  if (!QFileInfo(build).isDir()) return std::nullopt;
  return build;
}

int LanguageForLocale(const QLocale& locale) {
  return tallyra::ToValue(locale.language() == QLocale::Russian ? tallyra::Language::Russian
                                                                : tallyra::Language::English);
}

QStringList SeededFileNames() {
  return {QStringLiteral("Results.txt"), QStringLiteral("help.chm")};
}

std::optional<QString> PrepareDataFolder(const DataFolderChoice& choice,
                                         const std::optional<QString>& seedFolder, int language) {
  if (choice.kind == DataFolderKind::Current) return std::nullopt;
  auto failure = [&] {
    const std::string folder = QDir::toNativeSeparators(choice.folder).toStdString();
    QString text;
    for (const tallyra::Language language :
         {tallyra::Language::Russian, tallyra::Language::English}) {
      if (!text.isEmpty()) text += QStringLiteral("\n");
      text += QString::fromStdString(tallyra::Format(tallyra::TextId::TxtDataFolderFailed,
                                                     tallyra::ToValue(language), {folder}));
    }
    return std::optional<QString>(text);
  };
  const QFileInfo info(choice.folder);
  if (info.exists() && !info.isDir()) return failure();
  if (!QDir().mkpath(choice.folder)) return failure();
  // A name that is a dangling link counts as taken too: the user put it there.
  auto taken = [](const QString& path) {
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
  };
  if (seedFolder) {
    for (const QString& name : SeededFileNames()) {
      const QString target = choice.folder + QLatin1Char('/') + name;
      if (taken(target)) continue;
      const QString source = *seedFolder + QLatin1Char('/') + name;
      if (QFile::copy(source, target)) {
        // The shared copy is read-only; the user's copy is theirs to change.
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
      }
    }
  }
  const QString settings =
      choice.folder + QLatin1Char('/') + QString::fromLatin1(tallyra::kSettingsFileName);
  if (choice.kind == DataFolderKind::Installed && !taken(settings)) {
    QFile file(settings);
    // NewOnly: a file that appeared meanwhile is the user's, and stays.
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
      const std::string text = tallyra::FormatSettings(tallyra::kDefaultHighestNumber, language);
      // Half a settings file would be read as a wrong one: none is better.
      if (file.write(text.data(), static_cast<qint64>(text.size())) !=
              static_cast<qint64>(text.size()) ||
          !file.flush()) {
        file.remove();
      }
    }
  }
  // A folder the program may not search holds no file it could open.
  if (::access(QFile::encodeName(choice.folder).constData(), X_OK) != 0) return failure();
  return std::nullopt;
}

}  // namespace platform
