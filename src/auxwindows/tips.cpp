#include "auxwindows/tips.h"

#include <QStringList>

QString TipsText() {
    static const QStringList lines = {
        QStringLiteral("PICREEL creates a standard \"Video for Windows(tm)\" format file."),
        QStringLiteral("It is a video only AVI file.  The video frame size and color-depth"),
        QStringLiteral("are set by the FIRST picture file in the list."),
        QString(),
        QStringLiteral("All picture files MUST be of the same size/color-depth."),
        QStringLiteral("Bitmap (BMP), Jpeg (JPG) and GIF files can be loaded into PICREEL."),
        QStringLiteral("Use SIZEMATE.EXE to make all pictures the same size and color depth."),
        QString(),
        QStringLiteral("AVI files can become very large. Select compression to reduce file size."),
        QString(),
        QStringLiteral("When assembling the pictures into a video use the Frames/Sec Setting."),
        QStringLiteral("Use the Duration(Sec)/Picture setting when making a slide show of stills."),
        QString(),
        QStringLiteral("Refer to the Menu for keyboard key shortcuts for faster operation."),
        QString(),
        QStringLiteral("Point the mouse to any picture or filename and Right-Click"),
        QStringLiteral("to present a full-size preview of the picture."),
    };
    return lines.join(QStringLiteral("\r\n"));
}
