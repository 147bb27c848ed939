// Where the program keeps its files: the choice of the folder, and making and seeding it.

#include "platform/DataFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using platform::ChooseDataFolder;
using platform::DataFolderFacts;
using platform::DataFolderKind;

DataFolderFacts Facts() {
  DataFolderFacts facts;
  facts.executableFolder = QStringLiteral("/opt/t/bin");
  facts.userDataFolder = QStringLiteral("/home/ann/.local/share/tallyra");
  facts.workingFolder = QStringLiteral("/home/ann/draws");
  return facts;
}

TEST(DataFolderChoice, FollowsTheInstallationAndTheOptions) {
  // A build folder: no shared files, no marker, no option; the working folder stays.
  DataFolderFacts facts = Facts();
  EXPECT_EQ(ChooseDataFolder(facts).kind, DataFolderKind::Current);
  EXPECT_EQ(ChooseDataFolder(facts).folder, QStringLiteral("/home/ann/draws"));

  // Installed: the user's data folder.
  facts.sharedFilesFound = true;
  EXPECT_EQ(ChooseDataFolder(facts).kind, DataFolderKind::Installed);
  EXPECT_EQ(ChooseDataFolder(facts).folder, QStringLiteral("/home/ann/.local/share/tallyra"));

  // The marker beside the executable makes it portable, installed or not.
  facts.portableMarker = true;
  EXPECT_EQ(ChooseDataFolder(facts).kind, DataFolderKind::Portable);
  EXPECT_EQ(ChooseDataFolder(facts).folder, QStringLiteral("/opt/t/bin"));
  facts.sharedFilesFound = false;
  EXPECT_EQ(ChooseDataFolder(facts).folder, QStringLiteral("/opt/t/bin"));

  // So does the option, without the marker.
  facts.portableMarker = false;
  facts.portableOption = true;
  EXPECT_EQ(ChooseDataFolder(facts).kind, DataFolderKind::Portable);

  // --data wins over everything, and a relative folder is taken from the working folder.
  facts.sharedFilesFound = true;
  facts.portableMarker = true;
  facts.dataOption = QStringLiteral("/srv/draws/../lotto");
  EXPECT_EQ(ChooseDataFolder(facts).kind, DataFolderKind::Given);
  EXPECT_EQ(ChooseDataFolder(facts).folder, QStringLiteral("/srv/lotto"));
  facts.dataOption = QStringLiteral("mine");
  EXPECT_EQ(ChooseDataFolder(facts).folder,
            QDir::current().absoluteFilePath(QStringLiteral("mine")));

  // Installed but with no data folder known to the desktop: the working folder.
  facts = Facts();
  facts.sharedFilesFound = true;
  facts.userDataFolder.clear();
  EXPECT_EQ(ChooseDataFolder(facts).kind, DataFolderKind::Current);
}

class DataFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_previous = QDir::currentPath();
    ASSERT_TRUE(QDir().mkpath(Path("share/tallyra")));
    Write("share/tallyra/Results.txt", "1 - 1,2,3,4,5,6;\r\n");
    Write("share/tallyra/help.chm", "ITSF");
    ASSERT_TRUE(QDir().mkpath(Path("bin")));
  }

  QString Path(const QString& name) const { return m_dir.filePath(name); }
  QString Path(const char* name) const { return Path(QString::fromLatin1(name)); }
  void Write(const char* name, const QByteArray& bytes) {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray Read(const char* name) const {
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
  }

  QTemporaryDir m_dir;
  QString m_previous;  // the working folder, which no data folder changes
};

TEST_F(DataFolder, SharedFilesAreFoundBesideTheExecutablesFolder) {
  EXPECT_EQ(platform::SharedFilesFolder(Path("bin")), Path("share/tallyra"));
  // From share/tallyra, ../share/tallyra would be share/share/tallyra: there is none.
  EXPECT_EQ(platform::SharedFilesFolder(Path("share/tallyra")), std::nullopt);
}

TEST_F(DataFolder, IsMadeAndSeededWithoutTouchingTheUsersFilesOrTheWorkingFolder) {
  const platform::DataFolderChoice choice{DataFolderKind::Installed, Path("home/.local/tallyra")};
  ASSERT_EQ(platform::PrepareDataFolder(choice, Path("share/tallyra")), std::nullopt);
  EXPECT_EQ(QDir::currentPath(), m_previous);
  EXPECT_EQ(Read("home/.local/tallyra/Results.txt"), "1 - 1,2,3,4,5,6;\r\n");
  EXPECT_EQ(Read("home/.local/tallyra/help.chm"), "ITSF");
  // The copy is the user's to change, though the shared file may be read-only.
  EXPECT_TRUE(QFile::permissions(Path("home/.local/tallyra/Results.txt")) & QFile::WriteOwner);

  // The user's own draws and a removed help file: the draws stay, the help comes back.
  Write("home/.local/tallyra/Results.txt", "1 - 7,8,9,10,11,12;\r\n");
  ASSERT_TRUE(QFile::remove(Path("home/.local/tallyra/help.chm")));
  ASSERT_EQ(platform::PrepareDataFolder(choice, Path("share/tallyra")), std::nullopt);
  EXPECT_EQ(Read("home/.local/tallyra/Results.txt"), "1 - 7,8,9,10,11,12;\r\n");
  EXPECT_EQ(Read("home/.local/tallyra/help.chm"), "ITSF");
}

TEST_F(DataFolder, WithoutSharedFilesIsMadeButNotSeeded) {
  const platform::DataFolderChoice choice{DataFolderKind::Given, Path("given")};
  ASSERT_EQ(platform::PrepareDataFolder(choice, std::nullopt), std::nullopt);
  EXPECT_EQ(QDir::currentPath(), m_previous);
  EXPECT_EQ(QDir(Path("given")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

TEST_F(DataFolder, TheCurrentFolderIsLeftAsItIs) {
  ASSERT_EQ(
      platform::PrepareDataFolder({DataFolderKind::Current, Path("bin")}, Path("share/tallyra")),
      std::nullopt);
  EXPECT_EQ(QDir::currentPath(), m_previous);
  EXPECT_FALSE(QFile::exists(Path("bin/Results.txt")));
}

TEST_F(DataFolder, ThatCannotBeMadeIsToldInBothLanguages) {
  Write("taken", "a file, not a folder");
  const QString before = QDir::currentPath();
  for (const QString& folder : {Path("taken"), Path("taken/below")}) {
    const auto message =
        platform::PrepareDataFolder({DataFolderKind::Given, folder}, Path("share/tallyra"));
    ASSERT_TRUE(message.has_value()) << folder.toStdString();
    EXPECT_TRUE(message->contains(QStringLiteral("Cannot make or enter the data folder \"") +
                                  folder + QStringLiteral("\"")))
        << message->toStdString();
    EXPECT_TRUE(message->contains(QStringLiteral("Не удалось создать папку данных \"") + folder))
        << message->toStdString();
    EXPECT_EQ(QDir::currentPath(), before);
  }
  if (geteuid() != 0) {
    // A folder the user may not write into.
    ASSERT_TRUE(QDir().mkpath(Path("locked")));
    ASSERT_EQ(chmod(Path("locked").toLocal8Bit().constData(), 0500), 0);
    EXPECT_TRUE(
        platform::PrepareDataFolder({DataFolderKind::Given, Path("locked/data")}, std::nullopt));
    chmod(Path("locked").toLocal8Bit().constData(), 0700);
    // One that is there but may not be searched: no file in it could be opened.
    ASSERT_EQ(chmod(Path("locked").toLocal8Bit().constData(), 0600), 0);
    EXPECT_TRUE(platform::PrepareDataFolder({DataFolderKind::Given, Path("locked")}, std::nullopt));
    chmod(Path("locked").toLocal8Bit().constData(), 0700);
  }
}

}  // namespace
