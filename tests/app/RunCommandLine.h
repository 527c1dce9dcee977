// Runs a parsed command line the way main() does, capturing what it writes to stdout and
// stderr, for the command-line tests of the app.
#pragma once
#include <QByteArray>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include "app/CommandLine.h"

inline int RunLine(const QStringList& args, QByteArray* out = nullptr, QByteArray* err = nullptr) {
  char* outBuf = nullptr;
  char* errBuf = nullptr;
  size_t outLen = 0, errLen = 0;
  FILE* o = open_memstream(&outBuf, &outLen);
  FILE* e = open_memstream(&errBuf, &errLen);
  const int status = RunCommandLine(ParseCommandLine(args), o, e);
  std::fclose(o);
  std::fclose(e);
  if (out) *out = QByteArray(outBuf, qsizetype(outLen));
  if (err) *err = QByteArray(errBuf, qsizetype(errLen));
  std::free(outBuf);
  std::free(errBuf);
  return status;
}
