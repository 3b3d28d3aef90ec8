#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// The tracker replaces the global operator new[] of the program it is linked into.
namespace allocation {
// The largest single request made to operator new[] since it was last set to 0.
inline std::atomic<std::size_t> largest{0};
// Requests above this many bytes fail with std::bad_alloc, as on a machine out of memory.
inline std::atomic<std::size_t> refuseAbove{SIZE_MAX};
} // namespace allocation
