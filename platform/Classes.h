// The persistent-object base: a class name and assignment between related objects.
#pragma once
#include <QString>
#include <functional>
#include <type_traits>
#include <utility>

// A notification hook: a std::function set by the owner of the object, called synchronously
// with the sender first. An unset hook is skipped. Exceptions raised by the handler pass to
// the caller unchanged (from a Qt event they reach the application's error display).
template <class... Args>
class THook {
 public:
  using TFunction = std::function<void(Args...)>;
  THook() = default;
  THook(std::nullptr_t) {}
  template <class F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, THook> && std::is_constructible_v<TFunction, F>)
  THook(F&& f) : FFunction(std::forward<F>(f)) {}

  THook& operator=(std::nullptr_t) {
    FFunction = nullptr;
    return *this;
  }
  template <class F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, THook> && std::is_constructible_v<TFunction, F>)
  THook& operator=(F&& f) {
    FFunction = std::forward<F>(f);
    return *this;
  }

  explicit operator bool() const { return bool(FFunction); }
  const TFunction& Function() const { return FFunction; }

  void operator()(Args... args) const {
    if (FFunction) FFunction(args...);
  }
  // Skipped while updates (anything with Updating()) holds notifications back.
  template <class TUpdates>
  void FireUnlessUpdating(const TUpdates& updates, Args... args) const {
    if (!updates.Updating()) (*this)(args...);
  }

 private:
  TFunction FFunction;
};

class TPersistent;
// A change notification; the sender is the object that changed.
using TNotifyEvent = THook<TPersistent*>;

// Horizontal alignment of text in a box.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TPersistent {
 public:
  virtual ~TPersistent() = default;
  virtual QString ClassName() const { return QStringLiteral("TPersistent"); }
  // Copies Source into this object. The base accepts nothing: it asks Source to assign
  // itself (AssignTo) and that fails with "Cannot assign a <source> to a <target>".
  // A null Source reads as "nil".
  virtual void Assign(const TPersistent* source);

 protected:
  virtual void AssignTo(TPersistent* dest) const;
};
