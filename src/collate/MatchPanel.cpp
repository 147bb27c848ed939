// The result panel of the Check tab.

#include <QLabel>

#include "app/MainForm.h"
#include "platform/ClickLabel.h"

void TMainForm::ResetMatchPanel() {
  for (QLabel* caption : {Label2, Label3, Label4, Label5}) caption->setEnabled(false);
  for (QLabel* count : {LR3, LR4, LR5, LR6}) {
    count->setEnabled(false);
    count->setText(QString());
  }
  for (QLabel* list : {Lab3, Lab4, Lab5, Lab6}) list->setText(QString());
}
