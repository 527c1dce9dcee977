// The command line of the general barcode component: any of its 23 symbologies, printed as
// its element string or saved as a bitmap, without a window.
#pragma once
#include <QStringList>
#include <cstdio>

// Runs the command; errors go to err with exit code 1. Returns the process exit code.
int RunSymbologyCommand(const QStringList& args, FILE* out = stdout, FILE* err = stderr);
// The usage text of --symbology help, which the manual page prints too.
const char* SymbologyCommandUsage();
