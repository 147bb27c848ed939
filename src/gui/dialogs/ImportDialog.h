#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
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
  ImportDialog(QWidget* owner, LanguageSource language);

  // Shows the preview modally. Returns the rows read (oldest first) on OK, nothing on Cancel
  // or when nothing usable was found.
  std::optional<tallyra::ImportResult> preview(std::string data, tallyra::ImportKind kind,
                                               int32_t highestNumber, const QString& name);

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

  QLabel* m_summary = nullptr;
  QLabel* m_detected = nullptr;
  QLabel* m_columnsLabel = nullptr;
  QLineEdit* m_columnsBox = nullptr;
  QPushButton* m_applyButton = nullptr;
  QLabel* m_orderLabel = nullptr;
  QComboBox* m_orderBox = nullptr;
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
};
