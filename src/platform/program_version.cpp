#include "platform/program_version.h"

namespace platform {

ProgramVersion programVersion() {
    return {PICREEL_VERSION_MAJOR, PICREEL_VERSION_MINOR, PICREEL_VERSION_PATCH};
}

QString versionText(const ProgramVersion& version) {
    return QStringLiteral("%1.%2%3").arg(version.Major).arg(version.Minor).arg(version.Revision);
}

} // namespace platform
