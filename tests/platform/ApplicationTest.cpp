// The application's default error display: a failure escaping an event handler is shown and
// the program goes on.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include "TestSupport.h"
#include "platform/Errors.h"

namespace {
class TThrowing : public QObject {
 public:
  int Handled = 0;
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) {
      ++Handled;
      throw EFCreateError(QStringLiteral("Cannot create file \"x\". Permission denied"));
    }
    return QObject::event(e);
  }
};
}  // namespace

TEST(TApplication, ExceptionFromAHandlerReachesTheErrorDisplay) {
  TRecordedServices services;
  TThrowing target;
  QEvent first(QEvent::User), second(QEvent::User);
  QCoreApplication::sendEvent(&target, &first);
  QCoreApplication::sendEvent(&target, &second);
  EXPECT_EQ(target.Handled, 2);
  EXPECT_EQ(services.Errors, (QStringList{"Cannot create file \"x\". Permission denied",
                                          "Cannot create file \"x\". Permission denied"}));
}
