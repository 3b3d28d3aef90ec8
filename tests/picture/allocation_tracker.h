#pragma once

#include <cstddef>

// The largest single request made to operator new since the last reset; the tracker
// replaces the global operator new of the test program.
namespace allocation {
void reset();
std::size_t largest();
} // namespace allocation
