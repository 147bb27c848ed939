#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

#include "dialogs/DialogFrame.h"
#include "model/DataFiles.h"
#include "model/TextTable.h"
#include "winnings/Prizes.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Options > Prizes: the ticket price, the amount paid for 3, 4, 5 and 6 common numbers and the
// currency's name. It also keeps the prize table in use, read from its file.
class PrizesDialog final : public QDialog {
  Q_OBJECT
 public:
  // Keeps the new table (writes the file); a failure is thrown as the user's error, and the
  // dialog stays open.
  using Save = std::function<void(const tallyra::PrizeTable& table)>;

  // The prize table's file is "prizes.tly" in the data folder of `files`.
  PrizesDialog(QWidget* owner, LanguageSource language, const tallyra::DataFiles& files);

  // The prizes in use: the table and any per-draw amounts its file holds.
  const tallyra::Prizes& prizes() const { return m_prizes; }
  // Reads the prize file. A missing file leaves the prizes as they are; a bad one is told to
  // the user with its line and the problem, and the prizes in use stay.
  void reload();

  // Shows the table modally; OK hands what was typed to `save` once every box is acceptable.
  void editPrizes(Save save);

  // What the boxes hold, or the reason they cannot be taken (in the interface language).
  std::optional<tallyra::PrizeTable> readBoxes(QString& problem) const;
  // Keeps a table that was saved.
  void setTable(const tallyra::PrizeTable& table) { m_prizes.table = table; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QString T(tallyra::TextId id) const;
  void confirm();
  void applyTexts();

  LanguageSource m_language;
  const tallyra::DataFiles m_files;
  tallyra::Prizes m_prizes;
  Save m_save;
  QLabel* m_priceLabel = nullptr;
  QLineEdit* m_priceBox = nullptr;
  std::array<QLabel*, 4> m_tierLabels{};
  std::array<QLineEdit*, 4> m_tierBoxes{};
  QLabel* m_currencyLabel = nullptr;
  QLineEdit* m_currencyBox = nullptr;
  QPushButton* m_okButton = nullptr;
  QPushButton* m_cancelButton = nullptr;
};
