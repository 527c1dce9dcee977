#include "platform/Classes.h"
#include "platform/Errors.h"

void TPersistent::Assign(const TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  RaiseAssignError(QStringLiteral("nil"), ClassName());
}

void TPersistent::AssignTo(TPersistent* dest) const { RaiseAssignError(ClassName(), dest->ClassName()); }
