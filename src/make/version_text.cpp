#include "make/version_text.h"

namespace make {

QString ProgramVersionText() {
    // The one place the version comes in: the build passes the project's version.
    return QStringLiteral(PICREEL_VERSION);
}

} // namespace make
