#pragma once

#include <QString>
#include <stdexcept>

namespace picture {

// The one error type of the picture code that goes to the caller instead of to the user.
// cDIB tells the user itself about a missing, locked or non-Bitmap file (and returns false);
// everything else that stops a load, a conversion or a write arrives as a PictureError, and
// nothing in the picture code shows a box for it. The Make-AVI job passes over it.
class PictureError : public std::runtime_error {
public:
    enum class Kind {
        NotLoadable, // the picture loader refused the file: missing, unreadable, not a
                     // BMP/JPEG/GIF, damaged or absurdly large
        BadBitmap,   // a Bitmap file whose header values contradict the file (cDIB)
        ReadFailed,  // reading a file failed part-way
        WriteFailed, // writing a Bitmap file failed
        EmptyObject, // a pointer was asked of a cDIB that holds no picture
    };

    PictureError(Kind kind, const QString& message)
        : std::runtime_error(message.toStdString()), kind_(kind) {}

    Kind kind() const { return kind_; }
    QString message() const { return QString::fromStdString(what()); }

private:
    Kind kind_;
};

} // namespace picture
