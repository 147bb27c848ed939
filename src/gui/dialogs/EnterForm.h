#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "lists/EntryCheck.h"
#include "model/TextTable.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class TMainForm;

// The small dialog through which every number is typed: six main boxes, six extra boxes for a
// system stake, unlocked by the "System stake" box. EntryMode says what a confirmed entry
// writes: 0 a new stake, 1 the selected stake, 2 the Check tab's combination, 3 the selected
// system stake, 4 a new system stake. The dialog is created once and hidden between uses.
class TEnterForm final : public QDialog {
  Q_OBJECT
 public:
  explicit TEnterForm(TMainForm& main);

  int32_t EntryMode = 0;
  bool EntryValid = false;

  std::array<QLineEdit*, 13> Edit{};  // Edit[1]..Edit[12]
  QCheckBox* CheckBox = nullptr;
  QPushButton* BitEnter = nullptr;
  QPushButton* BitClean = nullptr;

  void FormShow();
  void FormClose();
  void BitEnterClick();
  void BitCleanClick();
  void CheckBoxClick();
  // Enter and Esc in box `box`; true when the key was taken.
  bool EditKeyDown(int box, int key);

  void ClearFields();
  void HideSystemFields();
  void ShowSystemFields();
  bool CheckMainFields();
  bool CheckSystemFields();

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Tell(tallyra::TextId id);
  tallyra::EntryTexts Texts() const;
  bool HasBox(int box) const;

  tallyra::EntryNumbers m_numbers{};  // the numbers of the boxes that passed the checks
  TMainForm& m_main;
};

extern TEnterForm* EnterForm;
