#pragma once

#include "picture/conversion_ahead.h"
#include "picture/dib.h"

#include <QImage>
#include <QString>

namespace picture {

// The one road from any listed picture to a cDIB: decode into the window's hidden picture
// holder (`tempImage`), save that as the temporary Bitmap, read the Bitmap back. Bitmap
// files take the same road, so every picture reaches the video in the saver's form.

// The temporary Bitmap: "TEMP/$T$.bmp" under the Windows-directory stand-in, asked for
// afresh each time. That folder belongs to one running copy of the program alone, so two
// copies never write into each other's temporary picture. Throws PictureError (WriteFailed)
// when the program has no such folder in this run.
QString TempBitmapPath();

// Loads `path` into tempImage, saves it as TempBitmapPath() and reads that into `dib`.
// Returns what cDIB::CreateFromFile returns (false: the user has been told why).
// Throws PictureError when the picture cannot be loaded (tempImage then keeps what it held
// and the temporary Bitmap is not touched), when the temporary Bitmap cannot be written
// (the dib is then not loaded from a stale file) and when cDIB refuses the file it reads.
bool LoadPictureAsDib(const QString& path, cDIB& dib, QImage& tempImage);
// The same road's second half for a picture converted ahead (converted.image, a picture
// from LoadPicture, and its Bitmap bytes): sets tempImage, writes the temporary Bitmap and
// reads it into `dib`, returning and throwing as LoadPictureAsDib does from there.
bool LoadConvertedAsDib(const Converted& converted, cDIB& dib, QImage& tempImage);

// True when `path` loads; tempImage then holds the picture, otherwise it keeps what it held.
bool IsLoadablePicture(const QString& path, QImage& tempImage);

} // namespace picture
