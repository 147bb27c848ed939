#pragma once

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QPushButton>
#include <vector>

#include "platform/StringGrid.h"

// Helpers that place the window's controls at the layout's pixel positions, shared by the
// window and its tabs.
namespace layout {

template <typename W>
W* Place(W* widget, const char* name, int x, int y, int w, int h) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(x, y, w, h);
  return widget;
}

inline QPushButton* Button(QWidget* parent, const char* name, int x, int y, int w = 185,
                           int h = 41) {
  return Place(new QPushButton(parent), name, x, y, w, h);
}

inline platform::StringGrid* Grid(QWidget* parent, const char* name, int x, int y, int w, int h,
                                  const std::vector<int>& widths) {
  auto* grid =
      Place(new platform::StringGrid(static_cast<int>(widths.size()), parent), name, x, y, w, h);
  grid->setColumnWidths(widths);
  grid->setContextMenuPolicy(Qt::CustomContextMenu);
  return grid;
}

// Each tab holds one lowered panel that carries the tab's controls.
inline QWidget* Panel(QWidget* tab) {
  auto* panel = new QFrame(tab);
  panel->setObjectName(tab->objectName() + QStringLiteral("Panel"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setGeometry(0, 4, 713, 369);
  return panel;
}

inline QAction* Item(QMenu* menu, const char* name) {
  QAction* action = menu->addAction(QString());
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

inline QAction* Separator(QMenu* menu, const char* name) {
  QAction* action = menu->addSeparator();
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

inline QMenu* Menu(QWidget* parent, const char* name) {
  auto* menu = new QMenu(parent);
  menu->setObjectName(QString::fromLatin1(name));
  return menu;
}

}  // namespace layout
