#include "picture/picture_conversion.h"

#include "picture/bitmap_saver.h"
#include "picture/picture_error.h"
#include "picture/picture_loader.h"
#include "platform/windows_directory.h"

#include <QDir>

namespace picture {

QString TempBitmapPath() {
    // Without a private folder the path would start at the root folder, where anybody may
    // have put a file of that name.
    if (platform::WindowsDirectory().isEmpty())
        throw PictureError(PictureError::Kind::WriteFailed,
                           QStringLiteral("there is no private folder for the temporary Bitmap"));
    return platform::WindowsDirectoryPath() + QStringLiteral("TEMP") + QDir::separator() +
           QStringLiteral("$T$.bmp");
}

bool LoadPictureAsDib(const QString& path, cDIB& dib, QImage& tempImage) {
    tempImage = LoadPicture(path);
    const QString temp = TempBitmapPath();
    SavePicture(tempImage, temp);
    return dib.CreateFromFile(temp);
}

bool LoadConvertedAsDib(const Converted& converted, cDIB& dib, QImage& tempImage) {
    tempImage = converted.image;
    const QString temp = TempBitmapPath();
    WriteBitmap(converted.bitmap, temp);
    return dib.CreateFromFile(temp);
}

bool IsLoadablePicture(const QString& path, QImage& tempImage) {
    try {
        tempImage = LoadPicture(path);
        return true;
    } catch (const PictureError&) {
        return false;
    }
}

} // namespace picture
