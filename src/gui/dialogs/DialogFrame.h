#pragma once

#include <QDialog>
#include <QFont>
#include <cstdint>
#include <functional>

#include "platform/Handler.h"

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

// The interface language (0 Russian, 1 English) as it is when a dialog asks; the dialogs are
// created once and follow the language when next shown.
using LanguageSource = std::function<int32_t()>;

// Moves a dialog so its frame is centred on another widget's frame.
inline void CentreOn(QDialog* dialog, const QWidget* other) {
  if (!other) return;
  QRect frame = dialog->frameGeometry();
  frame.moveCenter(other->frameGeometry().center());
  dialog->move(frame.topLeft());
}
