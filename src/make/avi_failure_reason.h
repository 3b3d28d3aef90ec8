#pragma once

#include <QString>

namespace make {

// Starts keeping what the AVI layer says about its failures.
void KeepAviFailureReasons();
// Why the AVI layer's last operation failed, "" when it said nothing.
QString AviFailureReason();

} // namespace make
