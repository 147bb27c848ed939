#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "dialogs/DialogFrame.h"
#include "lists/EntryCheck.h"
#include "model/TextTable.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

// What a confirmed entry is for.
enum class EntryMode { NewStake, EditStake, Combination, EditSystemStake, NewSystemStake };

// The small dialog through which every number is typed: six main boxes, six extra boxes for a
// system stake, unlocked by the "System stake" box. The dialog only checks what was typed; the
// caller stores it. It is created once and hidden between uses.
class EntryDialog final : public QDialog {
  Q_OBJECT
 public:
  // Twelve numbers, an empty box giving 0.
  using Numbers = std::array<int32_t, 12>;
  // Stores a new stake or system stake; a refusal comes back as the text to tell the user.
  using Store = std::function<std::optional<tallyra::TextId>(EntryMode mode, const Numbers&)>;

  EntryDialog(QWidget* owner, LanguageSource language);

  // Opens modally in one of the new-entry modes; the dialog stays open for one entry after
  // another, each handed to `store`, and `entered` is emitted after each one stored. The
  // "System stake" box switches between the two new-entry modes (see `modeSwitched`).
  void enterNew(EntryMode mode, int32_t highestNumber, Store store);
  // Opens modally to edit a row (EditStake, EditSystemStake) or to type the Check tab's
  // combination (Combination), boxes 1.. showing `values`; returns the confirmed numbers, or
  // nothing when the dialog was closed without them.
  std::optional<Numbers> enterOne(EntryMode mode, int32_t highestNumber,
                                  const QStringList& values = {});

 signals:
  void entered(EntryMode mode);
  // The box moved a new entry to the other list.
  void modeSwitched(EntryMode mode);
  // The box was ticked or cleared, whatever the mode.
  void systemBoxToggled();

 public:
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  template <typename F>
  void Guarded(F&& handler) {
    platform::RunHandler(parentWidget(), std::forward<F>(handler));
  }
  QString T(tallyra::TextId id) const;
  void Tell(tallyra::TextId id);
  tallyra::EntryTexts Texts() const;
  bool HasBox(int box) const;

  void prepareTexts();
  void confirm();
  void clearBoxes();
  void lockSystemBoxes();
  void unlockSystemBoxes();
  void systemBoxClicked();
  // Enter and Esc in box `box`; true when the key was taken.
  bool boxKeyPressed(int box, int key);
  bool checkMainBoxes();
  bool checkSystemBoxes();
  void runModal(EntryMode mode, int32_t highestNumber);

  std::array<QLineEdit*, 13> m_boxes{};  // [1]..[12]
  QCheckBox* m_systemBox = nullptr;
  QPushButton* m_enterButton = nullptr;
  QPushButton* m_clearButton = nullptr;

  LanguageSource m_language;
  EntryMode m_mode = EntryMode::NewStake;
  int32_t m_highestNumber = 0;
  Store m_store;
  std::optional<Numbers> m_result;
  tallyra::EntryNumbers m_numbers{};  // the numbers of the boxes that passed the checks
};
