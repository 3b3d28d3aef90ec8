#include "avi/mavidecs.h"

namespace mAVIDecs {

void AVIFileInit() {}
void AVIFileExit() {}

} // namespace mAVIDecs
