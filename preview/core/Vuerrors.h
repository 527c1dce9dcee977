// The engine's own error box: "<class name> Error!", an empty line, then the message.
#pragma once
#include <QString>

class QObject;
class TPersistent;

QString VuErrorText(const QString& senderClassName, const QString& message);
void ShowVuError(const QString& senderClassName, const QString& message);
void ShowVuError(const QObject* sender, const QString& message);
void ShowVuError(const TPersistent* sender, const QString& message);
