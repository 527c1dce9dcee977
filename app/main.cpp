// The program: the barcode maker window, or a command-line mode that needs no display.
#include <QStringList>
#include <cstdlib>
#include <memory>
#include "app/CommandLine.h"
#include "app/Ean13Form.h"
#include "app/SymbologyCommand.h"
#include "platform/Application.h"

namespace {
QStringList Arguments(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  return args;
}
}  // namespace

int main(int argc, char** argv) {
  const QStringList args = Arguments(argc, argv);
  const bool commandLine = IsSymbologyCommand(args) || IsEan13Command(args);
  // Command-line modes draw offscreen, at the same 96 pixels per inch as the window.
  if (commandLine) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  TApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("Velmor EAN13 Barcode Maker"));
  if (IsSymbologyCommand(args)) return RunSymbologyCommand(args);
  if (commandLine) return RunEan13Command(args);

  auto form = std::make_unique<TEAN13Form>();
  form->show();
  form->activateWindow();
  return app.exec();
}
