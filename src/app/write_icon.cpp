// Writes the program's icon as a PNG file of the size asked for, for the desktop's icon theme.
// Usage: picreel-icon SIZE OUT.png
#include "mainwindow/artwork.h"

#include <QImage>
#include <QString>
#include <cstdio>

int main(int argc, char* argv[]) {
    const int size = argc == 3 ? QString::fromLocal8Bit(argv[1]).toInt() : 0;
    if (size < 16) {
        std::fputs("usage: picreel-icon SIZE OUT.png\n", stderr);
        return 64;
    }
    const QImage icon = artwork::programIconImage();
    // Whole multiples keep the pixel art's hard edges; other sizes are smoothed.
    const Qt::TransformationMode mode =
        size % icon.width() == 0 ? Qt::FastTransformation : Qt::SmoothTransformation;
    return icon.scaled(size, size, Qt::IgnoreAspectRatio, mode)
                   .save(QString::fromLocal8Bit(argv[2]))
               ? 0
               : 1;
}
