#pragma once

#include <QDialog>
#include <QFont>

// What the program's small dialogs share: a fixed frame with the system menu, and the layout's
// typeface at a pixel size.
inline void SetDialogFrame(QDialog* dialog, int width, int height, bool minimize) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint;
  if (minimize) flags |= Qt::WindowMinimizeButtonHint;
  dialog->setWindowFlags(flags);
  dialog->setFixedSize(width, height);
}

inline QFont LayoutFont(int pixels, const char* family = "Arial",
                        const char* metricTwin = "Liberation Sans") {
  QFont font;
  font.setFamilies({QString::fromLatin1(family), QString::fromLatin1(metricTwin)});
  font.setPixelSize(pixels);
  return font;
}
