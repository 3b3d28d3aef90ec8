#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace picture {

// The largest picture the loader decodes: 256 megapixels, 1 GiB once decoded. Anything
// claiming more is refused from its header alone, before a byte of pixels is allocated.
constexpr qint64 maxPicturePixels = 256LL * 1024 * 1024;

// The platform's picture loading: decodes a BMP, JPEG or GIF file, recognised by its
// content whatever its name says (a PNG named .jpg is refused, a JPEG named .bmp loads).
// An animated GIF gives its first frame; a JPEG's orientation tag is applied. Throws
// PictureError (NotLoadable) for a missing or unreadable file, any other kind of file, a
// damaged picture or one larger than maxPicturePixels.
QImage LoadPicture(const QString& path);

// The size LoadPicture would give (orientation tag applied), from the picture's header where
// its reader can tell without decoding, else by decoding it. Refuses what LoadPicture refuses
// before decoding; a picture damaged past its header is only found by LoadPicture itself.
QSize LoadedPictureSize(const QString& path);

} // namespace picture
