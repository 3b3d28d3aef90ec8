#include "picture/picture_memory.h"

#include <malloc.h>

namespace picture {

void KeepPictureBuffersInTheHeap() {
    // glibc's largest threshold: a 1920 x 1080 picture in any of its forms stays below it.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    // Freed pages go back to the system only beyond what a few such pictures take.
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
}

} // namespace picture
