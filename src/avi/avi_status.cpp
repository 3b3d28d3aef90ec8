#include "avi/avi_status.h"

namespace avi {

Q_LOGGING_CATEGORY(lcAvi, "picreel.avi", QtWarningMsg)

} // namespace avi
