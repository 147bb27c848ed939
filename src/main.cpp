#include <QApplication>

#include "app/MainWindow.h"
#include "platform/Handler.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tallyra"));
  int status = 0;
  platform::RunHandler(nullptr, [&] {
    // The main window comes first: closing it ends the program.
    MainWindow mainForm;
    mainForm.show();
    status = QApplication::exec();
  });
  return status;
}
