#pragma once

#include <QString>

// Fernquill, the program's maker, as the About window and the Help menu name it.
namespace maker {

inline QString copyrightLine() {
    return QStringLiteral("Copyright \u00A9 Fernquill");
}

inline QString rightsLine() {
    return QStringLiteral("All rights reserved.");
}

// Under a domain reserved for examples: it never leads to anyone's real site.
inline QString webAddress() {
    return QStringLiteral("https://www.fernquill.example/");
}

} // namespace maker
