// The exception family of the platform layer. Messages are the texts users and callers rely on.
#pragma once
#include <QString>
#include <stdexcept>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const QString& message)
      : std::runtime_error(message.toStdString()), FMessage(message) {}
  const QString& Message() const { return FMessage; }

 private:
  QString FMessage;
};

// "'%s' is not a valid integer value"
class EConvertError : public Exception { using Exception::Exception; };
// "List index out of bounds (%d)"
class EListError : public Exception { using Exception::Exception; };
// "Cannot assign a %s to a %s"
class EConvertAssign : public EConvertError { using EConvertError::EConvertError; };
// "There is no default printer currently selected"
class EPrinter : public Exception { using Exception::Exception; };
// "Cannot create file "%s". %s"
class EFCreateError : public Exception { using Exception::Exception; };
class EFOpenError : public Exception { using Exception::Exception; };
class EReadError : public Exception { using Exception::Exception; };
class EWriteError : public Exception { using Exception::Exception; };
class EAssertionFailed : public Exception { using Exception::Exception; };
class EInvalidGraphic : public Exception { using Exception::Exception; };

// Builders for the fixed messages, so every raiser uses the same words.
[[noreturn]] void RaiseConvertError(const QString& text);
[[noreturn]] void RaiseListIndexError(int index);
[[noreturn]] void RaiseAssignError(const QString& sourceClass, const QString& targetClass);
[[noreturn]] void RaiseNoPrinter();
[[noreturn]] void RaiseCreateError(const QString& fileName, int error);
class EOutOfResources : public Exception { using Exception::Exception; };
