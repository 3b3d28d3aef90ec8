#pragma once

#include <QString>
#include <exception>

namespace job {

// Tells the user, in one box, that a listed picture could not be turned into a frame and
// why (a damaged file, a temporary Bitmap that cannot be written, no memory, ...).
void reportPictureFailure(const QString& path, const std::exception& error);

} // namespace job
