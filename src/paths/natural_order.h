#pragma once

#include <QString>

namespace paths {

// Case-insensitive order in which runs of digits compare by value, so img2 comes before
// img10. Names equal but for case keep a stable, case-sensitive order.
bool naturalLess(const QString& a, const QString& b);

} // namespace paths
