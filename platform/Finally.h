// The program's one scope guard: try/finally as a call.
#pragma once

// Runs body, then finally, whether body returned or raised; body's error goes on to the
// caller. Unlike a destructor, finally may raise itself (ending an update fires hooks that
// may raise), and its error then reaches the caller.
template <class Body, class Finally>
void TryFinally(Body&& body, Finally&& finally) {
  try {
    body();
  } catch (...) {
    finally();
    throw;
  }
  finally();
}
