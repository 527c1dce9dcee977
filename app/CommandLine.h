// The headless command line for users with many articles: the same normalising, completing,
// encoding and drawing as the Preview command, without a window.
#pragma once
#include <QStringList>
#include <cstdio>

// True when the arguments ask for a command-line mode (--value, --modules, --batch, --help).
bool IsEan13Command(const QStringList& args);
// Runs the mode; messages go to out and err. Returns the process exit code.
int RunEan13Command(const QStringList& args, FILE* out = stdout, FILE* err = stderr);
