#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

#include "app/MainWindow.h"
#include "app/StartOptions.h"
#include "model/TextTable.h"
#include "platform/DataFolder.h"
#include "platform/Handler.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"

namespace {

// The arguments as the program got them, before Qt takes its own out.
QStringList Arguments(int argc, char* argv[]) {
  QStringList list;
  for (int i = 1; i < argc; ++i) list << QString::fromLocal8Bit(argv[i]);
  return list;
}

// --quit-after: from then on every loop is left, a message box's or question's included, so a
// check of an installation never waits for an answer.
void QuitAfter(int ms, int status) {
  if (ms < 0) return;
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, qApp, [timer, status] {
    timer->setInterval(10);
    QApplication::exit(status);
  });
  timer->start(ms);
}

}  // namespace

int main(int argc, char* argv[]) {
  // --help and --version need no display: they are answered before the application starts.
  const StartOptions early = ParseStartOptions(Arguments(argc, argv));
  if (!early.error.isEmpty() && !early.errorMayBeQts) {
    std::fprintf(stderr, "tallyra: %s\n%s", early.error.toLocal8Bit().constData(), kWindowUsage);
    return 2;
  }
  if (early.error.isEmpty() && (early.help || early.version)) {
    if (early.help) {
      std::fputs(kWindowUsage, stdout);
    } else {
      std::printf("tallyra %s\n", TALLYRA_VERSION);
    }
    return 0;
  }

  QApplication app(argc, argv);
  // The lower-case name makes the data folder ~/.local/share/tallyra.
  QApplication::setApplicationName(QStringLiteral("tallyra"));
  QApplication::setApplicationDisplayName(QStringLiteral("Tallyra"));
  QApplication::setApplicationVersion(QStringLiteral(TALLYRA_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("example.tallyra.Tallyra"));

  // Qt has taken its own options (-platform, -style...) out by now.
  const StartOptions options = ParseStartOptions(QApplication::arguments().mid(1));
  if (!options.error.isEmpty()) {
    std::fprintf(stderr, "tallyra: %s\n%s", options.error.toLocal8Bit().constData(), kWindowUsage);
    return 2;
  }

  // A file named on the command line is where the user was, not in the data folder.
  const QString file =
      options.file.isEmpty() ? QString() : QFileInfo(options.file).absoluteFilePath();
  const QString executableFolder = QApplication::applicationDirPath();
  const std::optional<QString> shared = platform::SharedFilesFolder(executableFolder);
  platform::DataFolderFacts facts;
  facts.executableFolder = executableFolder;
  facts.sharedFilesFound = shared.has_value();
  facts.portableMarker = QFileInfo(executableFolder + QStringLiteral("/portable")).isFile();
  facts.portableOption = options.portable;
  facts.dataOption = options.data;
  facts.userDataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  facts.workingFolder = QDir::currentPath();
  const platform::DataFolderChoice choice = platform::ChooseDataFolder(facts);
  if (const std::optional<QString> failure =
          platform::PrepareDataFolder(choice, platform::SeedFilesFolder(executableFolder),
                                      platform::LanguageForLocale(QLocale::system()))) {
    std::fprintf(stderr, "tallyra: %s\n", failure->toUtf8().constData());
    QuitAfter(options.quitAfterMs, 1);
    platform::ShowMessage(nullptr, QStringLiteral("Tallyra"), *failure);
    return 1;
  }

  // Everything that opens one of the program's own files is given its folder from here.
  const tallyra::DataFiles files(platform::ToLocalPath(choice.folder));

  int status = 0;
  platform::RunHandler(nullptr, [&] {
    // The main window comes first: closing it ends the program.
    QuitAfter(options.quitAfterMs, 0);
    MainWindow mainForm(files);
    mainForm.show();
    if (!file.isEmpty()) mainForm.loadStakesFromFile(file);
    status = QApplication::exec();
  });
  return status;
}
