#pragma once

#include "picture/bitmap_saver.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace picture {

// The largest picture the loader decodes: 256 megapixels, 1 GiB once decoded. Anything
// claiming more is refused from its header alone, before a byte of pixels is allocated.
constexpr qint64 maxPicturePixels = 256LL * 1024 * 1024;

// Which files a load takes, told by their first bytes whatever their names say. The window
// reads Bitmaps, JPEGs and GIFs only; picreel-make also takes the formats of today's
// cameras, phones and screenshots.
enum class Readable { Classic, WithPhotoFormats };

// The platform's picture loading: decodes a BMP, JPEG or GIF file, recognised by its
// content whatever its name says (a PNG named .jpg is refused, a JPEG named .bmp loads).
// An animated GIF gives its first frame; a JPEG's orientation tag is applied. Throws
// PictureError (NotLoadable) for a missing or unreadable file, any other kind of file, a
// damaged picture or one larger than maxPicturePixels.
QImage LoadPicture(const QString& path);

// EncodeBitmap(LoadPicture(path)), the temporary Bitmap's bytes, without the decoded picture
// in between where the decoder can write the Bitmap's rows itself. Throws as both do.
BitmapBytes LoadPictureAsBitmap(const QString& path);

// A picture decoded for a small view, and the size LoadPicture would give it.
struct ReducedPicture {
    QImage image;
    QSize naturalSize;
};

// LoadPicture for a view no larger than atLeast: a JPEG larger than that is decoded at a
// reduced size (the decoder's own downscaling, far quicker than the whole picture) that
// still covers atLeast in both directions; any other picture is decoded whole. Refuses
// and throws as LoadPicture does.
ReducedPicture LoadReducedPicture(const QString& path, QSize atLeast);

// The size LoadPicture would give (orientation tag applied), from the picture's header where
// its reader can tell without decoding, else by decoding it. Refuses what LoadPicture refuses
// before decoding; a picture damaged past its header is only found by LoadPicture itself.
QSize LoadedPictureSize(const QString& path, Readable readable = Readable::Classic);

} // namespace picture
