#pragma once

#include "job/stream_rate.h"

#include <QString>
#include <optional>

namespace make {

constexpr double maxFramesPerSecond = 240;

// "25", "29.97" (2997/100) or "30000/1001", reduced to lowest terms; nothing unless the
// text is such a number, above 0 and at most maxFramesPerSecond, with a rate and scale that
// fit 32 bits.
std::optional<job::StreamRate> parseStreamRate(const QString& text);

} // namespace make
