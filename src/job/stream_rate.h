#pragma once

#include <cstdint>

namespace job {

// A frame rate kept as the AVI stream stores it: rate / scale frames per second.
struct StreamRate {
    std::uint32_t rate = 1;
    std::uint32_t scale = 1;

    double framesPerSecond() const { return double(rate) / scale; }
    bool operator==(const StreamRate&) const = default;
};

} // namespace job
