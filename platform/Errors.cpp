#include "platform/Errors.h"
#include <cstring>

void RaiseConvertError(const QString& text) {
  throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

void RaiseListIndexError(int index) {
  throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

void RaiseAssignError(const QString& sourceClass, const QString& targetClass) {
  throw EConvertAssign(QStringLiteral("Cannot assign a %1 to a %2").arg(sourceClass, targetClass));
}

void RaiseNoPrinter() {
  throw EPrinter(QStringLiteral("There is no default printer currently selected"));
}

void RaiseCreateError(const QString& fileName, int error) {
  throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(fileName, QString::fromLocal8Bit(std::strerror(error))));
}
