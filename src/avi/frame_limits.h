#pragma once

#include <cstdint>
#include <string>

namespace avi {

// Why a frame of this size would make a file no one can watch, or "" when it would not: the
// AVI headers keep each side in 16 bits, and ffmpeg, behind most players on Linux, sets up
// no decoder for a frame whose pixels, with its margins, pass 2^31 bytes at 8 a pixel.
std::string frameSizeProblem(std::int64_t width, std::int64_t height);

} // namespace avi
