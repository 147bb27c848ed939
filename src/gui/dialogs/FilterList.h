#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "dialogs/DialogFrame.h"
#include "generate/Generator.h"
#include "model/TextTable.h"

class QComboBox;
class QPushButton;
class QTableWidget;

// The generator's filters in the user's order, one row each: a check box that switches it on
// or off, its name, its bounds (spin boxes) or numbers (a line edit), and the reason it cannot
// run, if any. Add (of the kind chosen), Remove, Up and Down change the list. Every change is
// told through `changed`; numbers that do not read are kept as they were and the reason shows.
class FilterList final : public QWidget {
  Q_OBJECT
 public:
  FilterList(QWidget* parent, LanguageSource language);

  void setFilters(std::vector<tallyra::Filter> filters);
  const std::vector<tallyra::Filter>& filters() const { return m_filters; }
  // M: the numbers typed are read against it, and a new filter's bounds are made for it.
  void setHighest(int32_t highest);
  // The filter chosen in the list (-1 when none), and its numbers replaced, for the filters
  // that take numbers; false when the chosen one takes none.
  int current() const;
  bool setNumbersOfCurrent(const std::vector<int32_t>& numbers);
  // The first row whose typed numbers do not read, and why.
  std::optional<tallyra::FilterProblem> typingProblem() const;
  // Shows `reason` beside filter `index` (-1: beside none); typing problems stay shown.
  void showReason(int index, const QString& reason);
  void applyTexts();

  // The name of a kind as the window shows it, in the language.
  static QString KindText(tallyra::FilterKind kind, int32_t language);
  static bool TakesNumbers(tallyra::FilterKind kind);

 signals:
  void changed();

 private:
  QString T(tallyra::TextId id) const;
  void rebuild();
  void addFilter();
  void removeFilter();
  void moveFilter(int by);
  void numbersTyped(int row, const QString& text);
  void showReasons();

  LanguageSource m_language;
  int32_t m_highest = 49;
  std::vector<tallyra::Filter> m_filters;
  std::vector<QString> m_typing;  // a row's typing problem, empty when its numbers read
  int m_reasonRow = -1;
  QString m_reason;
  QTableWidget* m_table = nullptr;
  QComboBox* m_kindCombo = nullptr;
  QPushButton* m_addButton = nullptr;
  QPushButton* m_removeButton = nullptr;
  QPushButton* m_upButton = nullptr;
  QPushButton* m_downButton = nullptr;
};
