#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "dialogs/DialogFrame.h"
#include "import/Importer.h"
#include "model/TextTable.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The preview of an import: what a file from the wild gives before anything is stored. It
// shows the first and last rows as they will be stored, the count of lines read, the lines
// skipped with their numbers and reasons, and the columns and order the importer found, which
// the user may change (the file is read again each time).
class ImportDialog final : public QDialog {
  Q_OBJECT
 public:
  // Sets the program's M and game as Options > Preferences does (the game's id, empty for a
  // plain "6 of M"); a failure is thrown as the user's error.
  using SetGame = std::function<void(int32_t highestNumber, const std::string& gameId)>;

  // The game the program plays now, and how to change it.
  struct GameChoice {
    std::string id;  // empty: a plain "6 of M", or a game not chosen by name
    SetGame set;     // null: the preview only names the game and offers no change
  };

  ImportDialog(QWidget* owner, LanguageSource language);

  // Shows the preview modally. Returns the rows read (oldest first) on OK, nothing on Cancel
  // or when nothing usable was found. The game the file fits is proposed beside the program's;
  // when their M differ, the preview says so and offers to set the file's.
  std::optional<tallyra::ImportResult> preview(std::string data, tallyra::ImportKind kind,
                                               int32_t highestNumber, const QString& name,
                                               GameChoice game = {});

  // Rows shown from each end of the list.
  static constexpr int kShownRows = 10;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QString T(tallyra::TextId id) const;
  QString F(tallyra::TextId id, std::initializer_list<std::string> args) const;
  void applyTexts();
  // Reads the file again with the options as they are now, off the GUI thread, and shows what
  // came out. A read cancelled in its progress window changes nothing: false then.
  bool reread();
  // Shows m_result.
  void showResult();
  // Reads again after the user changed an option; a cancelled read puts the option back.
  void rereadOrKeep(const tallyra::ImportOptions& before);
  void applyColumns();
  void orderChosen(int index);
  // Proposes the game the file fits, unless the user picked one already, and says whether
  // its M is the program's.
  void showGame();
  // The M of the game picked in the box.
  int32_t pickedHighest() const;
  void gamePicked();
  void setGame();

  QLabel* m_summary = nullptr;
  QLabel* m_detected = nullptr;
  QLabel* m_columnsLabel = nullptr;
  QLineEdit* m_columnsBox = nullptr;
  QPushButton* m_applyButton = nullptr;
  QLabel* m_orderLabel = nullptr;
  QComboBox* m_orderBox = nullptr;
  QLabel* m_gameLabel = nullptr;
  QComboBox* m_gameBox = nullptr;
  QLabel* m_gameNote = nullptr;
  QPushButton* m_setGameButton = nullptr;
  QLabel* m_rowsLabel = nullptr;
  QPlainTextEdit* m_rows = nullptr;
  QLabel* m_skippedLabel = nullptr;
  QPlainTextEdit* m_skipped = nullptr;
  QLabel* m_problem = nullptr;
  QPushButton* m_okButton = nullptr;
  QPushButton* m_cancelButton = nullptr;

  LanguageSource m_language;
  std::string m_data;
  QString m_name;
  int m_linesRead = 0;
  tallyra::ImportOptions m_options;
  tallyra::ImportResult m_result;
  bool m_updating = false;  // the order box is being set from the result, not by the user
  GameChoice m_game;
  bool m_gamePicked = false;  // the user chose the game: a new read proposes none
};
