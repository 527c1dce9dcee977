#include "preview/core/Vuerrors.h"
#include <QObject>
#include "platform/Classes.h"
#include "platform/Services.h"

// The two line breaks separate the title line from the message in the box.
QString VuErrorText(const QString& senderClassName, const QString& message) {
  return senderClassName + QStringLiteral(" Error!\n\n") + message;
}

void ShowVuError(const QString& senderClassName, const QString& message) {
  ShowMessage(VuErrorText(senderClassName, message));
}

void ShowVuError(const QObject* sender, const QString& message) {
  ShowVuError(sender ? QString::fromLatin1(sender->metaObject()->className()) : QString(), message);
}

void ShowVuError(const TPersistent* sender, const QString& message) {
  ShowVuError(sender ? sender->ClassName() : QString(), message);
}
