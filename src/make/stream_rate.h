#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace make {

// A frame rate kept as the AVI stream stores it: rate / scale frames per second.
struct StreamRate {
    std::uint32_t rate = 1;
    std::uint32_t scale = 1;

    double framesPerSecond() const { return double(rate) / scale; }
    bool operator==(const StreamRate&) const = default;
};

constexpr double maxFramesPerSecond = 240;

// "25", "29.97" (2997/100) or "30000/1001", reduced to lowest terms; nothing unless the
// text is such a number, above 0 and at most maxFramesPerSecond, with a rate and scale that
// fit 32 bits.
std::optional<StreamRate> ParseStreamRate(const QString& text);

} // namespace make
