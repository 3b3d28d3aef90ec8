#pragma once

#include <cstddef>
#include <cstdint>

namespace picture {

// Memory for frames and other large buffers, mapped from the system rather than taken from
// the heap, and kept for the next buffer of the same size when let go. A run converts the
// same size of frame over and over on several threads; through the heap, each thread's arena
// kept the frames it had freed, and a 1080p run held 20 to 25 MB more than its frames. Here
// the process holds the buffers in use and at most two spares, and pays the page faults of a
// frame only the first time.
namespace large_buffers {

// Buffers from this size up are mapped.
constexpr std::size_t smallest = 1024 * 1024;

// `size` bytes, uninitialised; nullptr when the system has no memory for them.
std::uint8_t* take(std::size_t size);
// Gives back a buffer `take(size)` gave.
void giveBack(std::uint8_t* bytes, std::size_t size);
// The spares held now, in bytes.
std::size_t spareBytes();

} // namespace large_buffers

} // namespace picture
