// A run without a window never waits for a person: while a THeadlessServices lives, the
// modal message services end the command with their text (an Exception the command line
// writes to stderr, exit status 1) instead of opening a box nobody can close.
#pragma once
#include "platform/Services.h"

class THeadlessServices {
 public:
  THeadlessServices();
  ~THeadlessServices();
  THeadlessServices(const THeadlessServices&) = delete;
  THeadlessServices& operator=(const THeadlessServices&) = delete;

 private:
  TServiceHooks FSaved;
};
