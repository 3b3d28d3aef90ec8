#pragma once

#include <QString>

namespace platform {

// The program's own version; the build defines the numbers in one place.
struct ProgramVersion {
    int Major = 0;
    int Minor = 0;
    int Revision = 0;
};

ProgramVersion programVersion();

// The version as the program shows it: 1, 0, 4 reads "1.04" and 1, 0, 12 "1.012", the
// revision written straight after the minor number.
QString versionText(const ProgramVersion& version);

} // namespace platform
