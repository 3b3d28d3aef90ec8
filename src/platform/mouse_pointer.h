#pragma once

namespace platform {

// Classic pointer codes: 0 default, 11 hourglass.
enum class MousePointer { Default = 0, Hourglass = 11 };

} // namespace platform
