#include "platform/program_version.h"

namespace platform {

ProgramVersion programVersion() {
    return {PICREEL_VERSION_MAJOR, PICREEL_VERSION_MINOR, PICREEL_VERSION_PATCH};
}

} // namespace platform
