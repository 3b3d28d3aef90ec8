#include "picture/bitmap_saver.h"
#include "picture/picture_loader.h"
#include "test_io.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

namespace {

// How the loader must come out for a kind of JPEG: what Qt's own reader gives.
struct JpegKind {
    QString magickOptions; // how ImageMagick writes it
    QSize size;
    int cutTo = 0; // bytes kept of the file; 0 keeps it whole
};

// A busy picture (seeded plasma), written as a JPEG by ImageMagick.
QByteArray plasmaJpeg(const JpegKind& kind) {
    const QByteArray jpeg =
        run("convert", QProcess::splitCommand(QString("-size %1x%2 -seed 7 plasma: %3 jpeg:-")
                                                  .arg(kind.size.width())
                                                  .arg(kind.size.height())
                                                  .arg(kind.magickOptions)));
    return kind.cutTo ? jpeg.left(kind.cutTo) : jpeg;
}

QImage readByQt(const QString& path) {
    QImageReader reader(path, "jpeg");
    reader.setAutoTransform(true);
    return reader.read();
}

QByteArray bytesOf(const picture::BitmapBytes& bitmap) {
    return QByteArray(reinterpret_cast<const char*>(bitmap.data.get()), qsizetype(bitmap.size));
}

} // namespace

Q_DECLARE_METATYPE(JpegKind)

// JPEGs are decoded by libjpeg-turbo directly where it can; the picture, its resolution and
// the temporary Bitmap made of it must stay exactly what Qt's reader gives.
class JpegDecoderTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void decodesAsQtDoes_data() {
        QTest::addColumn<JpegKind>("kind");
        QTest::newRow("4:2:0, odd size, dots per inch")
            << JpegKind{.magickOptions = "-sampling-factor 2x2 -units PixelsPerInch -density 300",
                        .size = {63, 17}};
        // Block smoothing, a setting of its own in libjpeg, acts on progressive files only.
        QTest::newRow("progressive, dots per centimetre")
            << JpegKind{.magickOptions = "-interlace Plane -units PixelsPerCentimeter -density 118",
                        .size = {320, 240}};
        QTest::newRow("grey, through Qt")
            << JpegKind{.magickOptions = "-colorspace Gray", .size = {64, 48}};
        QTest::newRow("cut short")
            << JpegKind{.magickOptions = "", .size = {320, 240}, .cutTo = 3000};
    }
    void decodesAsQtDoes() {
        QFETCH(JpegKind, kind);
        const QString path = dir.filePath(QTest::currentDataTag() + QString(".jpg"));
        writeFile(path, plasmaJpeg(kind));
        const QImage expected = readByQt(path);
        QVERIFY(!expected.isNull());

        const QImage loaded = picture::LoadPicture(path);
        QCOMPARE(loaded.dotsPerMeterX(), expected.dotsPerMeterX());
        QCOMPARE(loaded.dotsPerMeterY(), expected.dotsPerMeterY());
        QVERIFY2(loaded == expected, "pixels differ");
        QCOMPARE(bytesOf(picture::LoadPictureAsBitmap(path)),
                 bytesOf(picture::EncodeBitmap(expected, path)));
    }
};

QTEST_GUILESS_MAIN(JpegDecoderTest)
#include "tst_jpeg_decoder.moc"
