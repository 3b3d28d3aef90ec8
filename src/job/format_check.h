#pragma once

#include "picture/picture_format.h"

namespace job {

class JobHost;

// Converts every listed picture as the job will and compares its size and colour depth with
// the first picture's, which it writes into FirstPictureFormat when the first converts.
// False when a picture differs, cannot be converted at all, or the user chose to abort:
// the user has been told, and the job must not go on.
bool CheckPictureFormats(JobHost& host, picture::PictureFormat& FirstPictureFormat);

} // namespace job
