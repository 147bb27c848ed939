#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// One run of the command-line program: its exit code and what it wrote.
struct CliRun {
  int code;
  QByteArray out;
  QByteArray err;
};

inline CliRun Cli(const QStringList& args) {
  QProcess process;
  process.start(QStringLiteral(TALLYRA_CLI), args);
  process.waitForFinished(60000);
  return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}
