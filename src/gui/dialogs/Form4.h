#pragma once

#include <QDialog>

class QLabel;
class TMainForm;

namespace platform {
class ClickLabel;
}

// The About box, with the mail and web links of the publisher.
class TForm4 final : public QDialog {
  Q_OBJECT
 public:
  explicit TForm4(TMainForm& main);

  void FormShow();
  void Label2Click();
  void Label5Click();

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  platform::ClickLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  platform::ClickLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TMainForm& m_main;
};

extern TForm4* Form4;
