#pragma once

#include <cstddef>
#include <cstdint>

#include <QImage>
#include <QSize>

namespace picture {

// Memory for frames, pictures and other large buffers, mapped from the system rather than
// taken from the heap, and kept for the next buffer of the same size when let go. A run
// converts pictures of one size over and over on several threads; through the heap, each
// thread's arena kept the memory it had freed, and a 1080p run held 20 to 25 MB more than its
// frames (the window's job, 35 MB more). Here the process holds the buffers in use and at
// most four spares (a picture, its Bitmap and the job's DIB make three sizes of buffer
// taken and given back for every picture), and pays the page faults of a buffer only the
// first time.
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

// A picture of `size` in `format` whose pixels, when large, live in such a buffer; uninitialised,
// and null when there is no memory for it.
QImage LargeImage(QSize size, QImage::Format format);

} // namespace picture
