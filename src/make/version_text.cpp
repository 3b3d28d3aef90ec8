#include "make/version_text.h"

#include "platform/program_version.h"

namespace make {

QString programVersionText() {
    // The same version the About window shows.
    return platform::versionText(platform::programVersion());
}

} // namespace make
