// The persistent-object base: a class name and assignment between related objects.
#pragma once
#include <QString>
#include <functional>

class TPersistent;
// A change notification; the sender is the object that changed.
using TNotifyEvent = std::function<void(TPersistent* sender)>;

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
