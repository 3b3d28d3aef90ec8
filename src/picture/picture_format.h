#pragma once

#include <cstdint>

namespace picture {

// Frame size and colour depth that the first picture of a job sets for the whole video.
struct PictureFormat {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t BitCount = 0;

    bool operator==(const PictureFormat&) const = default;
};

} // namespace picture
