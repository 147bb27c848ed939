#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "collate/Collation.h"
#include "dialogs/DialogFrame.h"
#include "model/TextTable.h"
#include "model/Workspace.h"
#include "parallel/WorkControl.h"
#include "platform/FileDialog.h"

class EntryDialog;
class ListViewer;
class QCheckBox;
class QFont;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace platform {
class ClickLabel;
}

// The Check tab and every collation: the combination to check and what it is checked against,
// the result panel (per category of 6, 5, 4 and 3 common numbers a count and the beginning of
// its list, which opens the list viewer), and the runs of the collations, whichever tab or menu
// starts them.
class CheckPage final : public QObject {
  Q_OBJECT
 public:
  // Builds the tab's controls on `tab` (which owns the page). The combination is typed in
  // `entry`; the lists open in `viewer`, whose Save starts from `saveOptions`.
  CheckPage(QWidget* tab, tallyra::Workspace& ws, LanguageSource language, EntryDialog& entry,
            ListViewer& viewer, const platform::FileDialogOptions& saveOptions);

  // Runs a collation off the GUI thread with a progress window and shows its outcome here.
  void collate(tallyra::CollationKind kind);
  // The combination: typed, cleared, checked, added to the stakes or system stakes.
  void enterCombination();
  void clearCombination();
  void checkCombination();
  void addCombinationToStakes();
  // The choice of what the combination is checked against; system stakes join the stakes only.
  void collateWithStakesChosen();
  void collateWithDrawsChosen();
  // Opens a category's list (0 for three common numbers) in the list viewer.
  void showList(int category);

  // The result panel back to its empty, greyed state.
  void resetMatchPanel();
  // Puts an outcome on the result panel and asks for it in the grids' count columns.
  void applyOutcome(const tallyra::Outcome& outcome);
  // The lists of the last collation or check, by category (0 for three common numbers).
  const std::array<tallyra::ListPtr, 4>& matchLists() const { return m_lists; }
  std::array<int64_t, 4> matchTotals() const { return m_totals; }

  // Whether a collation is running; while it runs, the window's close request only stops it
  // (`closeWhenStopped`) and the window closes right after.
  bool collating() const { return m_run != nullptr; }
  void closeWhenStopped();

  void applyTexts();
  // The layout's faces of the panel's figures, given the font of the window's controls; set
  // after the window has given every control that font.
  void applyFonts(const QFont& base);

 signals:
  // The count columns of the stakes, the system stakes or both are to be emptied.
  void countsCleared(bool stakes, bool systemStakes);
  // An outcome's per-row counts for the grids' count columns.
  void countsFound(const tallyra::Outcome& outcome);
  // A list grew (the combination was added to it).
  void listChanged();
  void showTabRequested(QWidget* tab);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  template <typename F>
  void Guarded(F&& handler);
  QString T(tallyra::TextId id) const;
  QWidget* owner() const;
  void showMatchCounts();

  QWidget* m_tab;
  tallyra::Workspace& m_ws;
  LanguageSource m_language;
  EntryDialog& m_entry;
  ListViewer& m_viewer;
  const platform::FileDialogOptions& m_saveOptions;

  QLabel* m_combinationCaption = nullptr;
  std::vector<QLabel*> m_combinationCells;  // [1]..[12]; [0] unused
  QGroupBox* m_collateWithBox = nullptr;
  QRadioButton* m_withStakesRadio = nullptr;
  QCheckBox* m_includeSystemBox = nullptr;
  QRadioButton* m_withDrawsRadio = nullptr;
  QGroupBox* m_resultsBox = nullptr;
  // Per category, 0 for three common numbers: the caption ("3 - "), the count and the
  // clickable beginning of the list.
  std::array<QLabel*, 4> m_captions{};
  std::array<QLabel*, 4> m_counts{};
  std::array<platform::ClickLabel*, 4> m_listLabels{};
  QPushButton* m_enterButton = nullptr;
  QPushButton* m_clearButton = nullptr;
  QPushButton* m_checkButton = nullptr;
  QPushButton* m_addButton = nullptr;

  std::array<tallyra::ListPtr, 4> m_lists;
  std::array<int64_t, 4> m_totals{};
  // A collation in progress: what stops it, and whether the window was asked to close
  // meanwhile (it closes once the run has stopped).
  tallyra::WorkControl* m_run = nullptr;
  bool m_closeAfterRun = false;
};
