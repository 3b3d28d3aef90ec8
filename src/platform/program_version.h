#pragma once

namespace platform {

// The program's own version; the build defines the numbers in one place.
struct ProgramVersion {
    int Major = 0;
    int Minor = 0;
    int Revision = 0;
};

ProgramVersion programVersion();

} // namespace platform
