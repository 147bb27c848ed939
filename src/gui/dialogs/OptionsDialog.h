#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "dialogs/DialogFrame.h"
#include "model/TextTable.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The options dialog: "Play: 6 out of M", where M can be changed and saved, and the address
// the draw history is downloaded from.
class OptionsDialog final : public QDialog {
  Q_OBJECT
 public:
  // Keeps the new M (nothing when M stays as it is) and writes the settings; a failure is
  // thrown as the user's error, and the dialog stays open.
  using Save = std::function<void(std::optional<int32_t> highestNumber)>;

  // Keeps the download address as typed (trimmed; empty for the default); only addresses
  // starting with http:// or https:// get this far.
  using SaveAddress = std::function<void(const QString& address)>;

  OptionsDialog(QWidget* owner, LanguageSource language);

  // Shows the game's numbers modally; "Save" hands the typed M to `save` and, when
  // `saveAddress` is given, the typed download address to it.
  void editSettings(int32_t ballsPerStake, int32_t highestNumber, Save save,
                    const QString& address = QString(), SaveAddress saveAddress = nullptr);

  // The game chosen by name (empty for none): shown beside M while M is that game's.
  void setGameId(const std::string& id) { m_gameId = id; }

  // True for an address the download can use: http:// or https:// and a host.
  static bool IsDownloadAddress(const QString& address);

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
  // The game's name beside M, for the M typed.
  void showGameName();

  QLabel* m_playLabel = nullptr;
  QLineEdit* m_ballsBox = nullptr;
  QLabel* m_outOfLabel = nullptr;
  QLineEdit* m_highestBox = nullptr;
  QLabel* m_gameName = nullptr;
  QPushButton* m_changeButton = nullptr;
  QLabel* m_addressLabel = nullptr;
  QLineEdit* m_addressBox = nullptr;

  LanguageSource m_language;
  int32_t m_ballsPerStake = 0;
  int32_t m_highestNumber = 0;
  Save m_save;
  SaveAddress m_saveAddress;
  QString m_address;
  bool m_editing = false;
  std::string m_gameId;
};
