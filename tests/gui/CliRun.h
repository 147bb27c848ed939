#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "RunCli.h"

// The window's tests speak QString; the runner takes the arguments as the program gets them.
inline std::vector<std::string> Arguments(const QStringList& args) {
  std::vector<std::string> list;
  for (const QString& a : args) list.push_back(a.toStdString());
  return list;
}

// One run of the command-line program: its exit code and what it wrote.
struct CliRun {
  int code;
  QByteArray out;
  QByteArray err;
};

inline CliRun Cli(const QStringList& args, const tallyra::test::RunSetup& setup = {}) {
  const tallyra::test::ProgramRun run = tallyra::test::RunCli(Arguments(args), setup);
  return {run.code, QByteArray::fromStdString(run.out), QByteArray::fromStdString(run.err)};
}
