#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// Pictures and crafted Bitmap files for the picture tests, made in code.
namespace samples {

// A Bitmap file with the given header values. The info block is the 40-byte header plus
// filler up to offBits (at most 4 KiB of it); `pixelBytes` bytes of pattern follow (not necessarily
// sizeImage).
QByteArray craftBmp(qint32 offBits, qint32 sizeImage, qint32 pixelBytes, qint32 biSize = 40,
                    qint16 bitCount = 24);
// A packed DIB: 40-byte info header and sizeImage pattern bytes.
QByteArray craftPackedDib(qint16 bitCount, qint32 sizeImage);

// Little-endian fields of raw file bytes, read independently of the code under test.
qint32 le32(const QByteArray& bytes, int offset);
qint16 le16(const QByteArray& bytes, int offset);

// Left half `left`, right half `right`.
QImage twoColours(int width, int height, QColor left = Qt::red, QColor right = Qt::blue);

QString writeFile(const QString& path, const QByteArray& bytes);
// With PICREEL_SEED_DIR set, keeps a copy of every small file the tests make there: the
// fuzz targets start from them.
QString keepAsSeed(const QString& path);
QByteArray readFile(const QString& path);
// Saved through ImageMagick's convert (Qt has no GIF writer); one frame per image.
QString writeGif(const QString& path, const QList<QImage>& frames);

} // namespace samples
