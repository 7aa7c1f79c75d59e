// Window, dialog, subclass, timer and enumeration procedures are called by
// the system, which cannot pass an exception on: one that escaped would end
// the program through std::terminate. Each procedure's body therefore runs
// inside Guarded, which reports whatever escapes it as a warning (a failed
// allocation with the system's "not enough memory" text, anything else as
// "Unknown error") and gives the system the procedure's safe answer instead.
#pragma once

#include <utility>

// Reports the exception being handled; call it only inside a catch block.
void ReportEscapedException() noexcept;

template <typename Result, typename Body>
Result Guarded(Result safe, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    ReportEscapedException();
  }
  return safe;
}

template <typename Body>
void Guarded(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {
    ReportEscapedException();
  }
}
