#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <memory>

#include "app/MainForm.h"
#include "platform/ClickLabel.h"
#include "platform/DialogScript.h"
#include "platform/StringGrid.h"

// Runs each test in a folder of its own, as if the program were started there, with every
// message box and file dialog answered by the script.
class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
  }
  void TearDown() override {
    form.reset();
    QDir::setCurrent(m_previous);
  }

  void WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(m_dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray ReadFile(const QString& name) {
    QFile file(m_dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QString Path(const QString& name) const { return m_dir.filePath(name); }

  // Builds the main window (the settings are read here) and shows it (the first showing
  // loads the results).
  TMainForm& Start() {
    form = std::make_unique<TMainForm>();
    form->show();
    return *form;
  }

  // Starts in English with M = 49 and no draws, the start-up messages forgotten.
  TMainForm& StartEnglish() {
    WriteFile(QStringLiteral("ini.tly"), "49\r\n1\r\n");
    Start();
    script.messages.clear();
    return *form;
  }

  // A child widget of the window (or of `parent`) by its object name; fails the test when
  // there is none, so a renamed control is noticed.
  template <typename W = QWidget>
  W* Find(const QString& name, const QObject* parent = nullptr) const {
    W* widget = (parent ? parent : form.get())->template findChild<W*>(name);
    EXPECT_NE(widget, nullptr) << "no " << name.toStdString();
    return widget;
  }
  // One of the window's own dialogs, by its object name.
  QDialog* FindDialog(const QString& name) const { return Find<QDialog>(name); }
  // Clicks a push button of the window (or of `parent`) by its object name.
  void Click(const QString& name, const QObject* parent = nullptr) const {
    if (auto* button = Find<QAbstractButton>(name, parent)) button->click();
  }

  QStringList MessageTexts() const {
    QStringList texts;
    for (const auto& m : script.messages) texts << m.text;
    return texts;
  }

  platform::DialogScript script;
  std::unique_ptr<TMainForm> form;

 private:
  QTemporaryDir m_dir;
  QString m_previous;
};
