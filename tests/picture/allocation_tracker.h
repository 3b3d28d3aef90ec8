#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// The tracker replaces the global operator new[] of the program it is linked into.
namespace allocation {
// The largest single request made to operator new[] since it was last set to 0.
inline std::atomic<std::size_t> largest{0};
} // namespace allocation
