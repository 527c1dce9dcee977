#include "app/HeadlessServices.h"
#include "platform/Errors.h"

THeadlessServices::THeadlessServices() : FSaved(ServiceHooks()) {
  auto fail = [](const QString& text) { throw Exception(text); };
  ServiceHooks().MessageBox = fail;
  ServiceHooks().ErrorDisplay = fail;
}

THeadlessServices::~THeadlessServices() { ServiceHooks() = FSaved; }
