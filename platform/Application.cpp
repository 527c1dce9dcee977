#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/Services.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void TApplication::HandleException(const std::exception& error) {
  if (auto* e = dynamic_cast<const Exception*>(&error)) ShowErrorMessage(e->Message());
  else ShowErrorMessage(QString::fromLocal8Bit(error.what()));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    HandleException(error);
  }
  return false;
}
