#pragma once

#include "picture/bitmap_saver.h"
#include "picture/frame_fit.h"

#include <QSize>
#include <QString>

namespace picture {

// A picture of any readable format (photo formats included) made into one frame of
// `fit.frame`'s size: turned upright by its orientation tag, transparency laid over the
// background colour, scaled with bicubic filtering and placed as placementOf says. A JPEG
// much larger than its place is decoded at a half, a quarter or an eighth of its size by
// libjpeg first, which takes a fraction of the time and memory. The result is a 24-bit
// Bitmap as LoadPictureAsBitmap gives. Throws PictureError as LoadPicture does.
BitmapBytes LoadFittedBitmap(const QString& path, const FrameFit& fit);

// The size a picture shows upright, from its header where that tells, as the fitting sees it.
QSize UprightPictureSize(const QString& path);

} // namespace picture
