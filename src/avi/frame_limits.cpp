#include "avi/frame_limits.h"

#include <climits>

namespace avi {

std::string frameSizeProblem(std::int64_t width, std::int64_t height) {
    constexpr std::int64_t longestSide = 32767;
    if (width > longestSide || height > longestSide)
        return "an AVI file cannot hold a side over 32,767 pixels";
    // ffmpeg's own check of every frame size it decodes (av_image_check_size).
    if ((8 * width + 1024) * (height + 128) >= INT_MAX)
        return "video players decode no frame this large";
    return {};
}

} // namespace avi
