#pragma once

#include <QString>

namespace platform {

// A mounted volume as the drive list shows it.
struct Volume {
    QString rootPath; // always ends with the separator
    QString name;     // may be empty
    bool ready = true;

    bool operator==(const Volume&) const = default;
};

} // namespace platform
