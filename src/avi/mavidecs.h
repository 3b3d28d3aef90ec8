#pragma once

// The AVIFile operations the program writes video through. (Being filled in.)
namespace mAVIDecs {

void AVIFileInit();
void AVIFileExit();

} // namespace mAVIDecs
