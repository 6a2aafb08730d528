#pragma once
// For the constructors of the shell controls: no destructor runs for an object never made, so what
// the constructor made before a throw is released here, and nothing keeps pointing at it.

#include <utility>

template <class Make, class Release>
void ReleaseOnThrow(Make&& make, Release&& release) {
  try {
    std::forward<Make>(make)();
  } catch (...) {
    std::forward<Release>(release)();
    throw;
  }
}
