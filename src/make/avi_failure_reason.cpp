#include "make/avi_failure_reason.h"

#include "avi/mavidecs.h"

namespace make {

QString aviFailureReason() {
    return mAVIDecs::AVILastErrorText();
}

} // namespace make
