// The application object. An exception that escapes an event handler reaches the default
// error display: its message is shown in a box and the program goes on.
#pragma once
#include <QApplication>
#include <exception>

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
  // Shows the failure's message through the default error display.
  static void HandleException(const std::exception& error);
};

// Runs a window's command or handler; a failure that escapes it goes to the default error
// display, and the window goes on.
template <typename F>
void Guarded(F&& command) {
  try {
    command();
  } catch (const std::exception& error) {
    TApplication::HandleException(error);
  }
}
