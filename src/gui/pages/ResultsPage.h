#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "collate/Collation.h"
#include "dialogs/DialogFrame.h"
#include "dialogs/ImportDialog.h"
#include "import/Merge.h"
#include "model/DataFiles.h"
#include "model/TextTable.h"
#include "model/Workspace.h"
#include "platform/FileDialog.h"

class QPushButton;

namespace platform {
class StringGrid;
}

// The address Results > From Internet uses unless Options names another.
QString DefaultDownloadAddress();

// The Results tab: the draw history's grid, the three buttons that collate the draws, and the
// commands that fill the history (the file loaded at start-up, Results > Load, Results > From
// Internet).
class ResultsPage final : public QObject {
  Q_OBJECT
 public:
  // Builds the tab's controls on `tab` (which owns the page). The draw history, its backup, the
  // download's partial file and the prize table are those of the data folder of `files`. The
  // open dialog starts from `openOptions`, read when it opens.
  ResultsPage(QWidget* tab, tallyra::Workspace& ws, LanguageSource language,
              const tallyra::DataFiles& files, const platform::FileDialogOptions& openOptions);

  // Reads "Results.txt" of the data folder, as the program does when it starts.
  void loadStartup();
  // Asks, empties the history and loads a file chosen in the open dialog.
  void load();
  // The same, for a file already named (dropped on the grid): the question, then the file.
  void loadPath(const QString& path);
  // Fetches the history from `downloadUrl()`; only a good history replaces "Results.txt" (the
  // old one kept as "Results.txt.bak"), and it is then loaded as by `load`.
  void download();
  // Results > Import...: a history in any shape the importer reads, shown in the preview
  // first; on OK its new draws join the held ones and "Results.txt" is written.
  void importFile();
  // The same for a history already read (a file, or a download not in record lines).
  void importData(std::string data, const QString& name);
  // Where the download fetches from; the publisher's address unless a test points it elsewhere.
  void setDownloadUrl(const QString& url) { m_downloadUrl = url; }
  const QString& downloadUrl() const { return m_downloadUrl; }
  // The game the window plays, and how the import preview may change it; without it the
  // preview names the game and offers no change.
  void setGameChoice(std::function<ImportDialog::GameChoice()> game) {
    m_gameChoice = std::move(game);
  }

  // Shows as many rows as the history holds; an empty history keeps what the grid shows.
  void refresh();
  void applyTexts();

 signals:
  // The history changed; the window refreshes every grid and the status bar.
  void listChanged();
  // The status bar's count of draws is to show `count`.
  void countShown(int32_t count);
  // A load has finished (whether or not it read anything): the statistics follow the draws.
  void drawsLoaded();
  // One of the tab's Collate buttons.
  void collateRequested(tallyra::CollationKind kind);

 private:
  template <typename F>
  void Guarded(F&& handler);
  QString T(tallyra::TextId id) const;
  QWidget* owner() const;
  void showPlainMessage(tallyra::TextId id);
  // Reads the file the user named (nothing when the dialog was cancelled) into the emptied
  // history and shows it.
  void readPath(const std::optional<QString>& path);
  // After an import: the per-draw amounts of the prize file follow their draws, and the
  // imported draws' own amounts join them. Returns how many imported draws brought amounts.
  int carryDrawPrizes(const tallyra::MergeOutcome& merge,
                      const std::vector<tallyra::ImportedRow>& rows, bool replaced);

  QWidget* m_tab;
  tallyra::Workspace& m_ws;
  LanguageSource m_language;
  const tallyra::DataFiles m_files;
  const platform::FileDialogOptions& m_openOptions;
  QString m_downloadUrl;
  std::function<ImportDialog::GameChoice()> m_gameChoice;

  platform::StringGrid* m_grid = nullptr;
  QPushButton* m_withStakesButton = nullptr;
  QPushButton* m_withSystemButton = nullptr;
  QPushButton* m_withAllButton = nullptr;
};
