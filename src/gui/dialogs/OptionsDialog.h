#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>

#include "dialogs/DialogFrame.h"
#include "model/TextTable.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The options dialog: "Play: 6 out of M", where M can be changed and saved.
class OptionsDialog final : public QDialog {
  Q_OBJECT
 public:
  // Keeps the new M (nothing when M stays as it is) and writes the settings; a failure is
  // thrown as the user's error, and the dialog stays open.
  using Save = std::function<void(std::optional<int32_t> highestNumber)>;

  OptionsDialog(QWidget* owner, LanguageSource language);

  // Shows the game's numbers modally; "Save" hands the typed M to `save`.
  void editSettings(int32_t ballsPerStake, int32_t highestNumber, Save save);

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
  void changeOrSave();
  void lock(bool locked);

  QLabel* m_playLabel = nullptr;
  QLineEdit* m_ballsBox = nullptr;
  QLabel* m_outOfLabel = nullptr;
  QLineEdit* m_highestBox = nullptr;
  QPushButton* m_changeButton = nullptr;

  LanguageSource m_language;
  int32_t m_ballsPerStake = 0;
  int32_t m_highestNumber = 0;
  Save m_save;
  bool m_editing = false;
};
