#pragma once

#include <QString>

namespace make {

// Why the AVI layer's last operation failed, "" when it said nothing.
QString aviFailureReason();

} // namespace make
