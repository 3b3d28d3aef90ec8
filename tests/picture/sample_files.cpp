#include "sample_files.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace samples {

namespace {

void put16(QByteArray& out, qint16 v) {
    out.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}
void put32(QByteArray& out, qint32 v) {
    for (int i = 0; i < 4; ++i)
        out.append(char((quint32(v) >> (8 * i)) & 0xff));
}
void infoHeader(QByteArray& out, qint32 biSize, qint16 bitCount, qint32 sizeImage) {
    put32(out, biSize);
    put32(out, 4);  // width
    put32(out, -2); // height: top-down, so a sign that must survive
    put16(out, 1);
    put16(out, bitCount);
    put32(out, 0);
    put32(out, sizeImage);
    put32(out, 2835);
    put32(out, 3780);
    put32(out, 7);
    put32(out, 5);
}
QByteArray pattern(qint32 count, int seed) {
    QByteArray bytes(count, Qt::Uninitialized);
    for (qint32 i = 0; i < count; ++i)
        bytes[i] = char((i * 7 + seed) & 0xff);
    return bytes;
}

} // namespace

QByteArray craftBmp(qint32 offBits, qint32 sizeImage, qint32 pixelBytes, qint32 biSize,
                    qint16 bitCount) {
    QByteArray out("BM");
    // Filler is capped: a header may claim an offset far beyond what the file holds.
    const qint32 filler = qBound(0, offBits - 54, 4096);
    put32(out, 54 + filler + pixelBytes);
    put32(out, 0x00010002); // reserved fields, carried but never used
    put32(out, offBits);
    infoHeader(out, biSize, bitCount, sizeImage);
    out += pattern(filler, 3);
    out += pattern(pixelBytes, 11);
    return out;
}

QByteArray craftPackedDib(qint16 bitCount, qint32 sizeImage) {
    QByteArray out;
    infoHeader(out, 40, bitCount, sizeImage);
    return out + pattern(sizeImage, 5);
}

qint32 le32(const QByteArray& b, int o) {
    return qint32(quint8(b[o]) | quint8(b[o + 1]) << 8 | quint8(b[o + 2]) << 16 |
                  quint32(quint8(b[o + 3])) << 24);
}
qint16 le16(const QByteArray& b, int o) {
    return qint16(quint8(b[o]) | quint8(b[o + 1]) << 8);
}

QImage twoColours(int width, int height, QColor left, QColor right) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(right);
    QPainter(&image).fillRect(0, 0, width / 2, height, left);
    return image;
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    return keepAsSeed(path);
}

QString keepAsSeed(const QString& path) {
    static const QString seeds = qEnvironmentVariable("PICREEL_SEED_DIR");
    static int count = 0;
    if (!seeds.isEmpty() && QFileInfo(path).size() <= 64 * 1024)
        QFile::copy(path, seeds + QStringLiteral("/seed-%1").arg(++count));
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString writeGif(const QString& path, const QList<QImage>& frames) {
    QTemporaryDir dir;
    QStringList args{QStringLiteral("-delay"), QStringLiteral("10")};
    for (int i = 0; i < frames.size(); ++i) {
        args << dir.filePath(QString::number(i) + QStringLiteral(".png"));
        frames[i].save(args.last());
    }
    args << QStringLiteral("GIF:") + path;
    if (QProcess::execute(QStringLiteral("convert"), args) != 0)
        qFatal("ImageMagick's convert could not make %s", qPrintable(path));
    return keepAsSeed(path);
}

} // namespace samples
