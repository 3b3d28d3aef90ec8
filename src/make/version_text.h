#pragma once

#include <QString>

namespace make {

// The program's version as the About window shows it.
QString programVersionText();

} // namespace make
