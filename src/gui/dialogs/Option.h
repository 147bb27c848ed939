#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TMainForm;

// The options dialog: "Play: 6 out of M", where M can be changed and saved.
class TOption final : public QDialog {
  Q_OBJECT
 public:
  explicit TOption(TMainForm& main);

  void FormShow();
  void BitBtn1Click();
  void FormClose();
  bool Editing() const { return m_editing; }

  QLabel* Label1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QPushButton* BitBtn1 = nullptr;

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Lock(bool locked);

  TMainForm& m_main;
  bool m_editing = false;
};

extern TOption* Option;
