#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/DialogFrame.h"
#include "model/TextTable.h"
#include "wheels/Verifier.h"
#include "winnings/Money.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QTableWidget;
class TicketsModel;

// The wheels dialog: a pool typed as numbers or taken from a system stake, a guarantee "t if m"
// and a time for the search; Build makes a small wheel off the GUI thread and shows its tickets,
// their count beside the lower bound, their cost and the coverage of every "t if m". "Check the
// stakes" shows the same table for the stakes list, and "Send to stakes" hands the wheel to the
// caller. The dialog never touches the program's lists: what it needs comes in, what the user
// sends goes out through the callback.
class WheelsDialog final : public QDialog {
  Q_OBJECT
 public:
  struct Inputs {
    int32_t highestNumber = 49;
    // The system stakes offered as pools, each its numbers (empty slots left out).
    std::vector<std::vector<int32_t>> systemStakes;
    // The stakes list, for "Check the stakes".
    std::vector<tallyra::wheels::Ticket> stakes;
    // The price of one ticket and its currency when a prize table is known.
    std::optional<tallyra::Money> ticketPrice;
    std::string currency;
    // The most tickets the stakes list can hold; a wheel that must be larger is not built.
    int32_t maxTickets = 0;
    // A pool to start from (the numbers the stakes generator leaves); empty keeps the pool of
    // the last use.
    std::vector<int32_t> pool;
  };
  // Stores the tickets in the stakes list, all of them or none; a refusal comes back as the
  // message to show.
  using Send = std::function<std::optional<QString>(const std::vector<tallyra::wheels::Ticket>&)>;

  WheelsDialog(QWidget* owner, LanguageSource language);
  ~WheelsDialog() override;

  // Shows the dialog modally with these inputs; the pool, guarantee and wheel of the last use
  // stay as they were.
  void showWheels(Inputs inputs, Send send);

  // The wheel shown (empty before a build) and the last coverage table shown.
  const std::vector<tallyra::wheels::Ticket>& tickets() const { return m_tickets; }
  const std::optional<tallyra::wheels::Coverage>& coverage() const { return m_coverage; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  template <typename F>
  void Guarded(F&& handler) {
    platform::RunHandler(this, std::forward<F>(handler));
  }
  QString T(tallyra::TextId id) const;
  void Tell(const QString& text);
  void applyTexts();
  void fillSystemStakes();
  void systemStakeChosen(int index);
  // The typed pool, checked; a problem has been told to the user when nothing comes back.
  std::optional<std::vector<int32_t>> readPool();
  void build();
  void checkStakes();
  void send();
  // Runs the exact check of `tickets` over the pool off the GUI thread; nothing when stopped.
  std::optional<tallyra::wheels::Coverage> verify(
      const std::vector<int32_t>& pool, const std::vector<tallyra::wheels::Ticket>& tickets);
  void showCoverage(bool ofWheel);
  void showWheelFigures();

  QLabel* m_poolLabel = nullptr;
  QLineEdit* m_poolEdit = nullptr;
  QLabel* m_systemLabel = nullptr;
  QComboBox* m_systemCombo = nullptr;
  QLabel* m_guaranteeLabel = nullptr;
  QSpinBox* m_tSpin = nullptr;
  QLabel* m_ifLabel = nullptr;
  QSpinBox* m_mSpin = nullptr;
  QLabel* m_secondsLabel = nullptr;
  QSpinBox* m_secondsSpin = nullptr;
  QPushButton* m_buildButton = nullptr;
  QPushButton* m_checkButton = nullptr;
  QPushButton* m_sendButton = nullptr;
  QPushButton* m_closeButton = nullptr;
  QTableView* m_ticketsView = nullptr;
  TicketsModel* m_ticketsModel = nullptr;
  QLabel* m_countLabel = nullptr;
  QLabel* m_costLabel = nullptr;
  QLabel* m_noteLabel = nullptr;
  QLabel* m_coverageLabel = nullptr;
  QTableWidget* m_coverageTable = nullptr;

  LanguageSource m_language;
  Inputs m_inputs;
  Send m_send;
  // The wheel shown: its pool, guarantee and bound.
  std::vector<tallyra::wheels::Ticket> m_tickets;
  std::vector<int32_t> m_wheelPool;
  tallyra::wheels::Guarantee m_wheelGuarantee;
  uint64_t m_wheelBound = 0;
  std::optional<tallyra::wheels::Coverage> m_coverage;
  bool m_coverageOfWheel = true;
};
